// Starts the reporting subsystem while the program's modules initialise, before any window
// exists. A program links this object library in place of dm_report_startup (which only
// loads the configuration).
#include "report/capture/EInterceptWin32.h"

namespace {

[[maybe_unused]] const bool exceptionLogStarted = StartOskedaExceptionLog();

}  // namespace
