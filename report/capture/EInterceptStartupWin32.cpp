// Starts the reporting subsystem while the program's modules initialise, before any window
// exists, and then its freeze watcher when the options ask for it. A program links this object
// library in place of dm_report_startup (which only loads the configuration).
#include "report/capture/EInterceptWin32.h"
#include "report/freeze/EFreezeWatchWin32.h"

namespace {

[[maybe_unused]] const bool exceptionLogStarted = StartOskedaExceptionLog() && InstallFreezeWatch();

}  // namespace
