// Start-up and shutdown of the interception, and the thread exports the thread hooks call.
#pragma once

#include <windows.h>

struct TOskedaThreadEntry;

// Once per process, in the program, before its first window: loads the configuration and,
// when it has one, installs the throw record, the vectored handler, the unhandled-exception
// filter, the terminate handler and the thread-creation hook. False: the subsystem stays
// inactive.
bool StartOskedaExceptionLog();
void StopOskedaExceptionLog();

// A thread of the subsystem itself, which the thread list leaves out.
HANDLE CreateUnlistedThread(LPTHREAD_START_ROUTINE procedure, void* parameter, SIZE_T stack);

// cdecl exports of the program.
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallCreateThread(
    const TOskedaThreadEntry* entry);
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallResumeThread(
    HANDLE handle, const TOskedaThreadEntry* entry);
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallExitThread();
