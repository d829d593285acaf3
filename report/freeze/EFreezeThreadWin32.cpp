#include "report/freeze/EFreezeThreadWin32.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EStackScan.h"
#include "report/freeze/EFrozenApplication.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"

namespace {

std::int32_t CurrentFreezeSeconds() {
  const TOskedaModuleOptions* options = FindCurrentOskedaLogOptions();
  return options ? options->FreezeSeconds() : DefaultFreezeSeconds;
}

std::string CurrentFreezeText() {
  const TOskedaModuleOptions* options = FindCurrentOskedaLogOptions();
  return options ? options->FreezeText() : std::string();
}

TWindowFacts FactsOf(HWND window) {
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  const LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
  return TWindowFacts{(style & WS_VISIBLE) != 0, (ex & WS_EX_TOOLWINDOW) != 0,
                      (ex & WS_EX_APPWINDOW) != 0};
}

HWND OwnerOf(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  return owner == GetDesktopWindow() ? nullptr : owner;
}

struct TWindowSearch {
  DWORD ThreadId;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TWindowSearch*>(parameter);
  DWORD process = 0;
  if (GetWindowThreadProcessId(window, &process) != search->ThreadId ||
      process != GetCurrentProcessId())
    return TRUE;
  const HWND owner = OwnerOf(window);
  const std::optional<TWindowFacts> ownerFacts =
      owner ? std::optional<TWindowFacts>(FactsOf(owner)) : std::nullopt;
  if (!IsFreezeWatchWindow(FactsOf(window), ownerFacts, owner && OwnerOf(owner))) return TRUE;
  search->Found = window;
  return FALSE;
}

// One past the committed stack that holds address.
std::uint32_t StackTopOf(std::uint32_t address) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &info,
                   sizeof info) != sizeof info ||
      info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) != 0 ||
      (info.Protect & (PAGE_READWRITE | PAGE_READONLY | PAGE_EXECUTE_READWRITE)) == 0)
    return 0;
  const std::uint64_t end =
      reinterpret_cast<std::uintptr_t>(info.BaseAddress) + std::uint64_t{info.RegionSize};
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, 0xFFFFFFFFu));
}

// Resumes the thread it suspended, on every path.
class TSuspension {
 public:
  explicit TSuspension(HANDLE thread)
      : thread_(thread), suspended_(SuspendThread(thread) != static_cast<DWORD>(-1)) {}
  ~TSuspension() {
    if (suspended_) ResumeThread(thread_);
  }
  TSuspension(const TSuspension&) = delete;
  TSuspension& operator=(const TSuspension&) = delete;
  bool Suspended() const { return suspended_; }

 private:
  HANDLE thread_;
  bool suspended_;
};

// Takes the main thread's registers and a copy of its stack while it is suspended. Nothing here
// allocates or takes a lock while the thread is stopped: it may hold the heap's lock, which
// the report needs.
bool CaptureMainThread(HANDLE thread, TDispatchRequest& request) {
  request.StackCopy.resize(StackScanLimitBytes);
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS;
  std::uint32_t copied = 0;
  {
    const TSuspension suspension(thread);
    if (!suspension.Suspended() || !GetThreadContext(thread, &context) || context.Eip == 0 ||
        context.Esp == 0)
      return false;
    const auto esp = static_cast<std::uint32_t>(context.Esp);
    const std::uint32_t top = StackTopOf(esp);
    if (top > esp) {
      copied = std::min(top - esp, StackScanLimitBytes);
      std::memcpy(request.StackCopy.data(),
                  reinterpret_cast<const void*>(static_cast<std::uintptr_t>(esp)), copied);
    }
  }
  request.StackCopy.resize(copied);
  request.Address = context.Eip;
  request.HasRegisters = true;
  request.Registers = TRegisterSnapshot{
      static_cast<std::uint32_t>(context.Eax), static_cast<std::uint32_t>(context.Ebx),
      static_cast<std::uint32_t>(context.Ecx), static_cast<std::uint32_t>(context.Edx),
      static_cast<std::uint32_t>(context.Esi), static_cast<std::uint32_t>(context.Edi),
      static_cast<std::uint32_t>(context.Esp), static_cast<std::uint32_t>(context.Eip)};
  if (copied) {
    // The walk reads the copy in place of the live stack: its return addresses are what they
    // were wherever the copy lies.
    const auto start =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(request.StackCopy.data()));
    request.StackStart = start;
    request.StackTop = start + copied;
  }
  return true;
}

}  // namespace

TFreezeThread::TFreezeThread(UniqueKernelHandle mainThread, DWORD mainThreadId)
    : mainThread_(std::move(mainThread)),
      mainThreadId_(mainThreadId),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

bool TFreezeThread::Start() {
  if (!stop_ || !mainThread_) return false;
  // Left out of the thread list: the sequence must never suspend the thread that runs a
  // freeze report's events.
  thread_.reset(CreateUnlistedThread(&Execute, this, 0));
  if (!thread_) return false;
  SetThreadPriority(thread_.get(), THREAD_PRIORITY_NORMAL);
  threadId_ = GetThreadId(thread_.get());
  return true;
}

void TFreezeThread::Terminate() {
  terminated_.store(true);
  if (stop_) SetEvent(stop_.get());
}

void TFreezeThread::WaitFor() {
  if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
}

void TFreezeThread::Kill() {
  if (thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT)
    TerminateThread(thread_.get(), 1);
}

DWORD WINAPI TFreezeThread::Execute(void* self) {
  try {
    static_cast<TFreezeThread*>(self)->Run();
  } catch (...) {
  }
  return 0;
}

bool TFreezeThread::Rest(DWORD ms) { return WaitForSingleObject(stop_.get(), ms) == WAIT_TIMEOUT; }

bool TFreezeThread::Terminated() const { return terminated_.load(); }

HWND TFreezeThread::FindMainWindow() const {
  TWindowSearch search{mainThreadId_};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// A window that the system already knows as hung fails at once; the rest of the period is
// waited out, so that each step of the count stands for its 50 ms.
TPingResult TFreezeThread::Ping(HWND window) {
  const ULONGLONG sent = GetTickCount64();
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, FreezePingMs, &answer))
    return TPingResult::Answered;
  if (!IsWindow(window)) return TPingResult::WindowGone;
  const ULONGLONG took = GetTickCount64() - sent;
  if (took < FreezePingMs) Rest(static_cast<DWORD>(FreezePingMs - took));
  return TPingResult::Unanswered;
}

void TFreezeThread::Run() {
  HWND window = nullptr;
  TFreezeCount count(CurrentFreezeSeconds());
  while (!Terminated()) {
    if (!window) {
      window = FindMainWindow();
      if (!window) {
        Rest(FreezePingMs);
        continue;
      }
    }
    count.SetLimit(CurrentFreezeSeconds());
    const TPingResult result = Ping(window);
    if (Terminated()) break;
    switch (count.After(result)) {
      case TFreezeStep::Ping:
        break;
      case TFreezeStep::Rest:
        Rest(FreezePingMs * FreezeRestPings);
        break;
      case TFreezeStep::FindWindow:
        window = nullptr;
        break;
      case TFreezeStep::Report:
        ReportFreeze();
        break;
    }
  }
}

// The report is made on this thread as the faulting thread, for the main thread: its events
// run here, never on the main thread that does not answer.
void TFreezeThread::ReportFreeze() {
  try {
    TDispatchRequest request;
    request.Object = std::make_exception_ptr(EFrozenApplication(CurrentFreezeText()));
    request.RaiseKind = TRaiseKind::Processor;
    request.ThreadId = mainThreadId_;
    if (!CaptureMainThread(mainThread_.get(), request)) return;
    DispatchException(request);
  } catch (...) {
  }
}
