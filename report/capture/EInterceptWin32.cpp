// Where exceptions and threads are intercepted in a MinGW program: every C++ throw (the linker
// wraps __cxa_throw), every processor exception (a vectored handler records it, the
// unhandled-exception filter reports it), std::terminate, and thread creation (an inline hook
// on kernel32's CreateThread, which the C runtime's _beginthreadex and so std::thread use).
#include "report/capture/EInterceptWin32.h"
#include "platform/win/ModuleOfAddress.h"

#include "platform/win/WinApi.h"

#include <unwind.h>

#include <cstring>
#include <exception>
#include <typeinfo>

#include "report/capture/EApplicationHooksWin32.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EHandlerSearchWin32.h"
#include "report/capture/EReportSequenceWin32.h"
#include "report/capture/EReportingScope.h"
#include "report/capture/EThreadStateWin32.h"
#include "report/capture/EThreadsListWin32.h"
#include "report/hook/EHookWin32.h"
#include "report/options/EModuleConfigWin32.h"

extern "C" {
[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*));
[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*));
}

namespace {

// Records the throw site before any unwinding: the return address of the throw call, the
// callee-saved registers as the thrower left them, and a copy of its stack.
__attribute__((noinline)) void RecordThrow(void* object, std::uint32_t returnAddress,
                                           std::uint32_t stackPointer, std::uint32_t ebx,
                                           std::uint32_t esi, std::uint32_t edi,
                                           std::uint32_t ebp) {
  TThreadState& state = CurrentThreadState();
  state.ThrownObject = object;
  state.ReportedAtThrow = nullptr;
  state.ThrowReturnAddress = returnAddress;
  TRegisterSnapshot& r = state.ThrowRegisters;
  r = TRegisterSnapshot{};
  r.Ebx = ebx;
  r.Esi = esi;
  r.Edi = edi;
  r.Esp = stackPointer;
  r.Eip = LanguageRaiseAddress(returnAddress);
  (void)ebp;
  std::uint32_t low = 0, high = 0;
  CurrentStackBounds(low, high);
  state.ThrowStackSize = 0;
  if (stackPointer < low || stackPointer >= high) return;
  const std::uint32_t size = std::min(high - stackPointer, ThrowStackCopyBytes);
  if (!state.ThrowStack)
    state.ThrowStack.reset(new (std::nothrow) std::uint8_t[ThrowStackCopyBytes]);
  if (!state.ThrowStack) return;
  std::memcpy(state.ThrowStack.get(), reinterpret_cast<const void*>(stackPointer), size);
  state.ThrowStackSize = size;
}

LONG CALLBACK VectoredHandler(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (!OskedaLogActive() || !IsMappedProcessorCode(record->ExceptionCode))
    return EXCEPTION_CONTINUE_SEARCH;
  TThreadState& state = CurrentThreadState();
  state.HasFault = true;
  TProcessorFault& fault = state.Fault;
  fault = TProcessorFault{};
  fault.Code = record->ExceptionCode;
  fault.Address =
      static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->ExceptionAddress));
  if (record->ExceptionCode == StatusAccessViolation && record->NumberParameters >= 2) {
    fault.HasAccess = true;
    fault.AccessKind = static_cast<std::uint32_t>(record->ExceptionInformation[0]);
    fault.AccessedAddress = static_cast<std::uint32_t>(record->ExceptionInformation[1]);
  }
  const CONTEXT* c = info->ContextRecord;
  state.FaultRegisters =
      TRegisterSnapshot{static_cast<std::uint32_t>(c->Eax), static_cast<std::uint32_t>(c->Ebx),
                        static_cast<std::uint32_t>(c->Ecx), static_cast<std::uint32_t>(c->Edx),
                        static_cast<std::uint32_t>(c->Esi), static_cast<std::uint32_t>(c->Edi),
                        static_cast<std::uint32_t>(c->Esp), static_cast<std::uint32_t>(c->Eip)};
  return EXCEPTION_CONTINUE_SEARCH;
}

// The unhandled procedure: report, then end the thread with exit code 1, or the program when
// it is the main thread.
[[noreturn]] void EndAfterUnhandled() {
  if (GetCurrentThreadId() == OskedaThreadsList().MainThreadId())
    TerminateProcess(GetCurrentProcess(), 1);
  OskedaThreadsList().RemoveCurrentThread();
  ExitThread(1);
}

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (!OskedaLogActive() || code == ThreadNamingException || !IsMappedProcessorCode(code))
    return previousFilter ? previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
  // Recorded again: a fault the system handled earlier may have left its record behind.
  VectoredHandler(info);
  TDispatchRequest request;
  AttachRecordedRaise(request);
  DispatchException(request);
  EndAfterUnhandled();
}

std::terminate_handler previousTerminate = nullptr;

// Where std::terminate was called from: the frame above std::terminate's own, as the unwinder
// sees it, with the registers it kept and its stack pointer once the call has returned.
struct TTerminateCall {
  bool InTerminate = false;
  bool Found = false;
  std::uint32_t ReturnAddress = 0, StackPointer = 0;
  std::uint32_t Ebx = 0, Esi = 0, Edi = 0, Ebp = 0;
};

_Unwind_Reason_Code FindTerminateCall(_Unwind_Context* context, void* argument) {
  auto& call = *static_cast<TTerminateCall*>(argument);
  const auto terminate = reinterpret_cast<std::uintptr_t>(&std::terminate);
  if (!call.InTerminate) {
    if (_Unwind_GetRegionStart(context) == terminate) {
      call.InTerminate = true;
      call.StackPointer = static_cast<std::uint32_t>(_Unwind_GetCFA(context));
    }
    return _URC_NO_REASON;
  }
  // The unwinder's numbers of the i386 registers: ebx 3, ebp 5, esi 6, edi 7.
  call.ReturnAddress = static_cast<std::uint32_t>(_Unwind_GetIP(context));
  call.Ebx = static_cast<std::uint32_t>(_Unwind_GetGR(context, 3));
  call.Ebp = static_cast<std::uint32_t>(_Unwind_GetGR(context, 5));
  call.Esi = static_cast<std::uint32_t>(_Unwind_GetGR(context, 6));
  call.Edi = static_cast<std::uint32_t>(_Unwind_GetGR(context, 7));
  call.Found = true;
  return _URC_NORMAL_STOP;
}

// std::terminate with no exception: reported as an exception of its own, raised where the
// program called std::terminate.
void ReportTerminateWithoutException() {
  TDispatchRequest request;
  request.Object = std::make_exception_ptr(EAbnormalTermination(TerminateWithoutExceptionMessage));
  TTerminateCall call;
  _Unwind_Backtrace(&FindTerminateCall, &call);
  if (call.Found)
    RecordThrow(ThrownObjectOf(request.Object), call.ReturnAddress, call.StackPointer, call.Ebx,
                call.Esi, call.Edi, call.Ebp);
  AttachRecordedRaise(request);
  DispatchException(request);
}

void TerminateHandler() {
  if (OskedaLogActive()) {
    TDispatchRequest request;
    request.Object = std::current_exception();
    if (!request.Object) {
      ReportTerminateWithoutException();
    } else if (ThrownObjectOf(request.Object) != CurrentThreadState().ReportedAtThrow) {
      AttachRecordedRaise(request);
      DispatchException(request);
    }
    EndAfterUnhandled();
  }
  if (previousTerminate) previousTerminate();
  std::abort();
}

// A throw that no handler will take is reported now, on the intact stack of the throw site;
// one that a handler takes is left to the application's handler to report, if it gets there.
void ReportThrowIfUncaught(void* object, std::type_info* type, void (*destroy)(void*),
                           std::uint32_t returnAddress) {
  TThreadState& state = CurrentThreadState();
  if (state.InsideSequence || state.InsideNotification ||
      !ReportsHandledExceptionsOf(GetCurrentThreadId()) || IsThrownAbort(object, type) ||
      SearchThrowHandler(object, type, returnAddress) != TThrowOutlook::Uncaught)
    return;
  state.InsideNotification = true;
  {
    TPendingThrow pending(object, type, destroy);
    if (ThisModuleIsProgram()) {
      TDispatchRequest request;
      request.Object = pending.Pointer();
      AttachRecordedRaise(request);
      DispatchException(request);
    } else {
      ExceptionManager(&pending.Pointer(), nullptr, 0, ThisModule());
    }
  }
  state.ReportedAtThrow = object;
  state.InsideNotification = false;
}

// The thread wrapper: every thread created through CreateThread starts here, so that it is
// listed while it runs and leaves the list when its procedure returns.
struct TThreadStart {
  LPTHREAD_START_ROUTINE Procedure;
  void* Parameter;
};

DWORD WINAPI ThreadWrapper(void* parameter) {
  const TThreadStart start = *static_cast<TThreadStart*>(parameter);
  delete static_cast<TThreadStart*>(parameter);
  CurrentThreadState();  // allocated now, not on an exhausted stack later
  TOskedaThreadEntry entry{};
  entry.ThreadId = GetCurrentThreadId();
  entry.Priority = ThreadPriorityNotRead;
  entry.Procedure = reinterpret_cast<void*>(start.Procedure);
  entry.Parameter = start.Parameter;
  entry.StackMark = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&entry));
  OskedaLog_CallResumeThread(nullptr, &entry);
  const DWORD result = start.Procedure(start.Parameter);
  OskedaLog_CallExitThread();
  return result;
}

using TCreateThread = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                      DWORD, LPDWORD);
TCreateThread createThreadTrampoline = nullptr;

HANDLE WINAPI CreateThreadHook(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                               LPTHREAD_START_ROUTINE procedure, LPVOID parameter, DWORD flags,
                               LPDWORD id) {
  auto* start = new (std::nothrow) TThreadStart{procedure, parameter};
  if (!start) return createThreadTrampoline(security, stack, procedure, parameter, flags, id);
  DWORD threadId = 0;
  HANDLE thread = createThreadTrampoline(security, stack, &ThreadWrapper, start,
                                         flags | CREATE_SUSPENDED, &threadId);
  if (!thread) {
    delete start;
    return nullptr;
  }
  if (id) *id = threadId;
  TOskedaThreadEntry entry{};
  entry.ThreadId = threadId;
  entry.Handle = thread;
  entry.Priority = ThreadPriorityNotRead;
  entry.Procedure = reinterpret_cast<void*>(procedure);
  entry.Parameter = parameter;
  OskedaLog_CallCreateThread(&entry);
  if (!(flags & CREATE_SUSPENDED)) ResumeThread(thread);
  return thread;
}

void HookThreadCreation() {
  void* createThread =
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateThread"));
  try {
    createThreadTrampoline = reinterpret_cast<TCreateThread>(
        HookProcedure(createThread, reinterpret_cast<void*>(&CreateThreadHook), "CreateThread"));
  } catch (const EHookError&) {
    createThreadTrampoline = nullptr;
  }
}

void* vectoredHandler = nullptr;

}  // namespace

HMODULE ThisModule() {
  static const HMODULE module = ModuleOfAddress(reinterpret_cast<const void*>(&ThisModule));
  return module;
}

bool ThisModuleIsProgram() { return ThisModule() == GetModuleHandleA(nullptr); }

void* ProgramExportAddress(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name));
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallGeneralRaise(
    void* thrownObject, std::uint32_t returnAddress, std::uint32_t stackPointer,
    const std::uint32_t* registers) {
  if (!ThisModuleIsProgram()) {
    if (auto* raise = ProgramExport<TCallGeneralRaise>("OskedaLog_CallGeneralRaise"))
      raise(thrownObject, returnAddress, stackPointer, registers);
    return;
  }
  RecordThrow(thrownObject, returnAddress, stackPointer, registers ? registers[0] : 0,
              registers ? registers[1] : 0, registers ? registers[2] : 0,
              registers ? registers[3] : 0);
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallExceptObject(EXCEPTION_RECORD* record,
                                                                         CONTEXT* context,
                                                                         bool notify) {
  if (!ThisModuleIsProgram()) {
    if (auto* map = ProgramExport<TCallExceptObject>("OskedaLog_CallExceptObject"))
      map(record, context, notify);
    return;
  }
  if (!record || !context) return;
  EXCEPTION_POINTERS pointers{record, context};
  VectoredHandler(&pointers);
  if (!notify) return;
  TDispatchRequest request;
  AttachRecordedRaise(request);
  if (request.IsFault) DispatchException(request);
}

HANDLE CreateUnlistedThread(LPTHREAD_START_ROUTINE procedure, void* parameter, SIZE_T stack) {
  TCreateThread create = createThreadTrampoline ? createThreadTrampoline : &CreateThread;
  return create(nullptr, stack, procedure, parameter, 0, nullptr);
}

extern "C" __attribute__((optimize("no-omit-frame-pointer"))) void __wrap___cxa_throw(
    void* object, std::type_info* type, void (*destroy)(void*)) {
  if (OskedaLogActive()) {
    std::uint32_t ebx, esi, edi, ebp;
    asm volatile("movl %%ebx, %0\n\tmovl %%esi, %1\n\tmovl %%edi, %2\n\tmovl %%ebp, %3"
                 : "=m"(ebx), "=m"(esi), "=m"(edi), "=m"(ebp));
    const auto returnAddress =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
    // The caller's stack pointer once the call has returned: just above the return address.
    const auto stackPointer =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0))) +
        8;
    if (ThisModuleIsProgram()) {
      RecordThrow(object, returnAddress, stackPointer, ebx, esi, edi, ebp);
    } else if (auto* raise = ProgramExport<TCallGeneralRaise>("OskedaLog_CallGeneralRaise")) {
      const std::uint32_t registers[4] = {ebx, esi, edi, ebp};
      raise(object, returnAddress, stackPointer, registers);
    }
    ReportThrowIfUncaught(object, type, destroy, returnAddress);
  }
  __real___cxa_throw(object, type, destroy);
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallCreateThread(
    const TOskedaThreadEntry* entry) {
  if (entry) OskedaThreadsList().Add(*entry);
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallResumeThread(
    HANDLE handle, const TOskedaThreadEntry* entry) {
  if (!entry) return;
  TOskedaThreadsList& list = OskedaThreadsList();
  list.Lock();
  TOskedaThreadEntry* known = handle ? list.FindByHandle(handle) : list.FindById(entry->ThreadId);
  if (known) {
    known->StackMark = entry->StackMark;
    known->Started = 1;
  }
  list.Unlock();
}

extern "C" __declspec(dllexport) void __cdecl OskedaLog_CallExitThread() {
  OskedaThreadsList().RemoveCurrentThread();
}

bool StartOskedaExceptionLog() {
  static const bool started = [] {
    if (!ThisModuleIsProgram()) {
      // A DLL built with the subsystem hands its throws and exceptions to the program's copy,
      // which alone catches processor exceptions and tracks threads.
      SetOskedaLogActive(ProgramExportAddress("ExceptionManager") != nullptr);
      return OskedaLogActive();
    }
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    SetStartupFolder(folder);
    RecordStartTime();
    OskedaThreadsList().AddMainThread();
    CurrentThreadState();
    if (!StartOskedaModuleConfig()) return false;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    if (IsDevelopmentEnvironmentExe(exe)) return true;
    SetOskedaLogActive(true);
    vectoredHandler = AddVectoredExceptionHandler(1, &VectoredHandler);
    previousFilter = SetUnhandledExceptionFilter(&UnhandledFilter);
    previousTerminate = std::set_terminate(&TerminateHandler);
    HookThreadCreation();
    InstallApplicationHooks();
    return true;
  }();
  return started;
}

void StopOskedaExceptionLog() {
  SetOskedaLogActive(false);
  if (vectoredHandler) RemoveVectoredExceptionHandler(vectoredHandler);
  vectoredHandler = nullptr;
}
