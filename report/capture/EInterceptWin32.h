// Start-up and shutdown of the interception, and the thread exports the thread hooks call.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <exception>

struct TOskedaThreadEntry;

// Once per process, in the program, before its first window: loads the configuration and,
// when it has one, installs the throw record, the vectored handler, the unhandled-exception
// filter, the terminate handler and the thread-creation hook. False: the subsystem stays
// inactive.
bool StartOskedaExceptionLog();
void StopOskedaExceptionLog();

// A thread of the subsystem itself, which the thread list leaves out.
HANDLE CreateUnlistedThread(LPTHREAD_START_ROUTINE procedure, void* parameter, SIZE_T stack);

// The module that carries this copy of the subsystem, and whether it is the program.
HMODULE ThisModule();
bool ThisModuleIsProgram();
// An export of the program module; null when it has none.
void* ProgramExportAddress(const char* name);
template <typename Fn>
Fn* ProgramExport(const char* name) {
  return reinterpret_cast<Fn*>(ProgramExportAddress(name));
}

// The exports, all with the C calling convention (cdecl) and undecorated names: what the
// subsystem of one module calls in the program's copy.
using TCallGeneralRaise = void __cdecl(void* thrownObject, std::uint32_t returnAddress,
                                       std::uint32_t stackPointer, const std::uint32_t* registers);
using TCallExceptObject = void __cdecl(EXCEPTION_RECORD* record, CONTEXT* context, bool notify);
using TExceptionManager = bool __cdecl(const std::exception_ptr* exception, void* address, int kind,
                                       HMODULE module);

// Records a throw site (registers: ebx, esi, edi, ebp) as the current thread's last raise.
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallGeneralRaise(
    void* thrownObject, std::uint32_t returnAddress, std::uint32_t stackPointer,
    const std::uint32_t* registers);
// Records a processor exception as the current thread's last raise and, with notify, reports it.
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallExceptObject(EXCEPTION_RECORD* record,
                                                                         CONTEXT* context,
                                                                         bool notify);
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallCreateThread(
    const TOskedaThreadEntry* entry);
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallResumeThread(
    HANDLE handle, const TOskedaThreadEntry* entry);
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallExitThread();
