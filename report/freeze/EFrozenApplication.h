// The exception a freeze is reported as: it is never thrown, only handed to the dispatcher with
// the main thread's instruction pointer as its address.
#pragma once

#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EFrozenApplication, Exception)
