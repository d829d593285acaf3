#include "report/capture/EExceptionManagerWin32.h"

#include <atomic>
#include <cstring>

#include "report/capture/EInterceptWin32.h"
#include "report/capture/EReportSequenceWin32.h"
#include "report/capture/EReportingScope.h"
#include "report/capture/EThreadStateWin32.h"
#include "report/capture/EThreadsListWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"
#include "report/options/EModuleConfig.h"
#include "report/options/EModuleConfigWin32.h"

namespace {

std::atomic<bool> active{false};

CRITICAL_SECTION& ReportingSection() { return OskedaReportingSection(); }

struct TSectionGuard {
  TSectionGuard() { EnterCriticalSection(&ReportingSection()); }
  ~TSectionGuard() { LeaveCriticalSection(&ReportingSection()); }
  TSectionGuard(const TSectionGuard&) = delete;
  TSectionGuard& operator=(const TSectionGuard&) = delete;
};

}  // namespace

CRITICAL_SECTION& OskedaReportingSection() {
  static CRITICAL_SECTION* section = [] {
    auto* s = new CRITICAL_SECTION;
    InitializeCriticalSection(s);
    return s;
  }();
  return *section;
}

struct TFaultingThreadChannel {
  HANDLE Request = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE Done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const std::function<void()>* Call = nullptr;
  std::exception_ptr Error;
  ~TFaultingThreadChannel() {
    if (Request) CloseHandle(Request);
    if (Done) CloseHandle(Done);
  }
  void RunPending() {
    Error = nullptr;
    try {
      (*Call)();
    } catch (...) {
      Error = std::current_exception();
    }
    SetEvent(Done);
  }
};

namespace {

struct TExceptionThreadJob {
  TDispatchRequest* Request;
  bool Result = true;
};

DWORD WINAPI ExceptionThreadProc(void* parameter) {
  auto* job = static_cast<TExceptionThreadJob*>(parameter);
  CurrentThreadState().InsideSequence = true;
  job->Result = RunReportingSequence(*job->Request);
  return 0;
}

bool IsMainThread() { return GetCurrentThreadId() == OskedaThreadsList().MainThreadId(); }

// Runs the sequence on a TExceptionThread and waits for it, keeping the windows of the main
// thread painted meanwhile. Only paint messages are handled: a handler run from here could
// raise again on a thread that is waiting for its own report.
bool RunOnExceptionThread(TDispatchRequest& request) {
  TExceptionThreadJob job{&request};
  TFaultingThreadChannel channel;
  if (channel.Request && channel.Done) request.Channel = &channel;
  HANDLE thread = CreateUnlistedThread(&ExceptionThreadProc, &job, 256 * 1024);
  if (!thread) {
    request.Channel = nullptr;
    job.Result = RunReportingSequence(request);
    return job.Result;
  }
  const bool main = IsMainThread();
  const HANDLE waits[2] = {thread, channel.Request};
  for (DWORD woke = WAIT_TIMEOUT; woke != WAIT_OBJECT_0 && woke != WAIT_FAILED;
       woke = WaitForMultipleObjects(request.Channel ? 2 : 1, waits, FALSE, 10)) {
    if (woke == WAIT_OBJECT_0 + 1) channel.RunPending();
    MSG msg;
    while (main && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
      DispatchMessageA(&msg);
  }
  CloseHandle(thread);
  request.Channel = nullptr;
  return job.Result;
}

std::string MessageOf(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const Exception& x) {
    return x.Message();
  } catch (...) {
    return {};
  }
}

bool IsAbort(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const Exception& x) {
    return x.InheritsFrom("EAbort");
  } catch (...) {
    return false;
  }
}

std::atomic<int> errorCount{0};

}  // namespace

int OskedaErrorCount() { return errorCount.load(); }
void CountOskedaError() { ++errorCount; }

bool OskedaLogActive() { return active.load(); }
void SetOskedaLogActive(bool value) { active.store(value); }

TProgramKind CurrentProgramKind() {
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  if (nt->OptionalHeader.Subsystem != IMAGE_SUBSYSTEM_WINDOWS_CUI) return TProgramKind::Window;
  return GetEnvironmentVariableA("REQUEST_METHOD", nullptr, 0) ? TProgramKind::Web
                                                               : TProgramKind::Console;
}

void RunOnFaultingThread(const TDispatchRequest& request, const std::function<void()>& call) {
  TFaultingThreadChannel* channel = request.Channel;
  if (!channel || (request.IsFault && request.Fault.Code == StatusStackOverflow)) {
    call();
    return;
  }
  channel->Call = &call;
  SetEvent(channel->Request);
  while (WaitForSingleObject(channel->Done, 10) == WAIT_TIMEOUT) {
  }
  channel->Call = nullptr;
  if (channel->Error) std::rethrow_exception(channel->Error);
}

void AttachRecordedRaise(TDispatchRequest& request) {
  TThreadState& state = CurrentThreadState();
  request.ThreadId = GetCurrentThreadId();
  if (request.Object && state.ThrownObject &&
      state.ThrownObject == ThrownObjectOf(request.Object)) {
    request.RaiseKind = TRaiseKind::Language;
    request.Address = LanguageRaiseAddress(state.ThrowReturnAddress);
    request.Registers = state.ThrowRegisters;
    request.HasRegisters = true;
    if (state.ThrowStack && state.ThrowStackSize) {
      request.StackCopy.assign(state.ThrowStack.get(),
                               state.ThrowStack.get() + state.ThrowStackSize);
      const auto start =
          static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(request.StackCopy.data()));
      request.StackStart = start;
      request.StackTop = start + state.ThrowStackSize;
    }
  } else if (!request.Object && state.HasFault) {
    request.IsFault = true;
    request.RaiseKind = TRaiseKind::Processor;
    request.Fault = state.Fault;
    request.Address = state.Fault.Address;
    request.Registers = state.FaultRegisters;
    request.HasRegisters = true;
    request.StackStart = state.FaultRegisters.Esp;
  }
}

bool DispatchException(TDispatchRequest& request) {
  if (!active.load()) return true;
  TSectionGuard guard;
  TThreadState& state = CurrentThreadState();
  if (state.InsideSequence) return false;
  if (request.Object && IsAbort(request.Object)) return true;
  if (request.Object && HasSafeCallPrefix(MessageOf(request.Object))) return false;
  const TOskedaModuleOptions* current = FindCurrentOskedaLogOptions();
  if (!current || !current->Enabled()) return true;
  if (!request.ThreadId) request.ThreadId = GetCurrentThreadId();
  state.LastNotifiedAddress = request.Address;

  // The faulting thread waits inside the sequence too: an exception raised while it pumps
  // paint messages is not reported again.
  state.InsideSequence = true;
  const bool result = RunOnExceptionThread(request);
  state.InsideSequence = false;
  return result;
}

extern "C" __declspec(dllexport) bool __cdecl ExceptionManager(const std::exception_ptr* exception,
                                                               void* address, int kind,
                                                               HMODULE module) {
  if (!ThisModuleIsProgram()) {
    auto* manager = ProgramExport<TExceptionManager>("ExceptionManager");
    if (!manager) return true;
    const std::exception_ptr current =
        exception && *exception ? *exception : std::current_exception();
    return manager(&current, address, kind, module ? module : ThisModule());
  }
  if (!ReportsHandledExceptionsOf(GetCurrentThreadId())) return true;
  TDispatchRequest request;
  request.Object = exception && *exception ? *exception : std::current_exception();
  request.Kind = kind;
  request.Module = module;
  if (!request.Object) return true;
  // A module built with the subsystem that reports here for the first time: its options and
  // debug tables are read from its own configuration.
  if (module && module != GetModuleHandleA(nullptr) &&
      !OskedaModuleConfigs().FindByBase(reinterpret_cast<std::uintptr_t>(module)))
    RegisterOskedaModule(module);
  AttachRecordedRaise(request);
  if (request.RaiseKind != TRaiseKind::Language && address)
    request.Address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
  return DispatchException(request);
}
