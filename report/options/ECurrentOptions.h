// The options object of the module that carries this code, as registered at start.
#pragma once

#include "platform/SysUtils.h"

class TOskedaModuleOptions;

DM_DECLARE_EXCEPTION(EAssertionFailed, Exception)

// EAssertionFailed when the subsystem was never started or this module has no options.
TOskedaModuleOptions& CurrentOskedaLogOptions();
// nullptr in those cases.
TOskedaModuleOptions* FindCurrentOskedaLogOptions() noexcept;
// Done by the start-up once the module's options exist; nullptr at shutdown.
void SetCurrentOskedaLogOptions(TOskedaModuleOptions* options) noexcept;
