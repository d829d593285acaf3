// Who starts and stops the freeze watcher: it runs exactly while the current options have both
// Enabled and FreezeWatch set.
#pragma once

#include "platform/win/WinApi.h"

// Starts the watcher, unless one runs, the process is the development environment, the
// subsystem is inactive, the current options lack Enabled or FreezeWatch, or this module is not
// the program and uses the program's options (whose own watcher serves).
void StartFreezeWatch();
// Asks the watcher to end and waits for it (in a DLL it is ended at once: the loader lock would
// keep it from finishing); then frees it. A watcher stopped from its own report's events ends
// when the report is done.
void StopFreezeWatch();

// Once per process, after StartOskedaExceptionLog: lets the options start and stop the watcher
// as Enabled and FreezeWatch change, starts it when they ask for it, and stops it when the
// process ends. False when the subsystem is inactive.
bool InstallFreezeWatch();

// The running watcher's thread identifier and handle (not owned); 0 and null when none runs.
DWORD FreezeWatchThreadId();
HANDLE FreezeWatchThreadHandle();
