// Loads the program's reporting configuration while the program's modules initialise, before
// any window exists. Linked as an object library, so that only the program carries it.
#include "report/options/EModuleConfigWin32.h"

namespace {

// A configuration that cannot be used leaves the subsystem inactive; it never stops the start.
[[maybe_unused]] const bool configurationStarted = StartOskedaModuleConfig();

}  // namespace
