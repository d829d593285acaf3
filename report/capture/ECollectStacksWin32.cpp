#include "report/capture/ECollectStacksWin32.h"

#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "report/capture/EStackScan.h"
#include "report/options/ECoreOptions.h"

namespace {

// Resumes in every case what it suspended.
class TSuspendedThread {
 public:
  explicit TSuspendedThread(HANDLE thread)
      : thread_(thread), suspended_(SuspendThread(thread) != static_cast<DWORD>(-1)) {}
  ~TSuspendedThread() {
    if (suspended_) ResumeThread(thread_);
  }
  TSuspendedThread(const TSuspendedThread&) = delete;
  TSuspendedThread& operator=(const TSuspendedThread&) = delete;
  bool Suspended() const { return suspended_; }

 private:
  HANDLE thread_;
  bool suspended_;
};

// The stack of a thread as copied while it was suspended, in front of the live memory: the
// walk then runs after the thread is resumed, so nothing that may wait for a lock the thread
// holds (the heap, the loader) runs while it is stopped.
class TStackCopyReader final : public TMemoryReader {
 public:
  TStackCopyReader(const TMemoryReader& live, std::uint32_t base,
                   const std::vector<std::uint8_t>& bytes, std::uint32_t size)
      : live_(live), base_(base), bytes_(bytes), size_(size) {}

  std::uint32_t ReadableSpan(std::uint32_t address, std::uint32_t limit) const override {
    if (Inside(address)) return std::min(limit, base_ + size_ - address);
    return live_.ReadableSpan(address, limit);
  }
  bool Read(std::uint32_t address, void* dest, std::uint32_t size) const override {
    if (Inside(address) && size <= base_ + size_ - address) {
      std::memcpy(dest, bytes_.data() + (address - base_), size);
      return true;
    }
    return live_.Read(address, dest, size);
  }

 private:
  bool Inside(std::uint32_t address) const { return address - base_ < size_; }
  const TMemoryReader& live_;
  std::uint32_t base_;
  const std::vector<std::uint8_t>& bytes_;
  std::uint32_t size_;
};

// One past the committed stack that holds address: the end of its memory region.
std::uint32_t StackTopOf(std::uint32_t address) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &info,
                   sizeof info) != sizeof info ||
      info.State != MEM_COMMIT)
    return 0;
  const std::uint64_t end =
      reinterpret_cast<std::uintptr_t>(info.BaseAddress) + std::uint64_t{info.RegionSize};
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, 0xFFFFFFFFu));
}

std::int32_t PriorityOf(HANDLE thread) {
  if (!thread) return ThreadPriorityUnknown;
  const int priority = GetThreadPriority(thread);
  return priority == THREAD_PRIORITY_ERROR_RETURN ? ThreadPriorityUnknown : priority;
}

void AppendWalk(const TMemoryReader& memory, const TAddressResolver& resolver,
                const TStackWalkParams& params, TOskedaStackList& stack) {
  TOskedaStackList frames;
  WalkStack(memory, resolver, params, frames);
  CleanUpStack(frames, false);
  stack.insert(stack.end(), std::make_move_iterator(frames.begin()),
               std::make_move_iterator(frames.end()));
}

// Suspends the thread just long enough to take its stack pointer and copy its stack; false
// when it cannot be suspended or read.
bool CopyThreadStack(HANDLE thread, std::vector<std::uint8_t>& copy, std::uint32_t& start,
                     std::uint32_t& size, std::uint32_t& top) {
  const TSuspendedThread suspended(thread);
  if (!suspended.Suspended()) return false;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
  if (!GetThreadContext(thread, &context) || context.Esp == 0) return false;
  start = context.Esp;
  top = StackTopOf(start);
  if (top <= start) return false;
  size = std::min(top - start, StackScanLimitBytes);
  MEMORY_BASIC_INFORMATION info;
  // The walk reads 7 bytes before a candidate return address: never across the copy's start.
  if (VirtualQuery(reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(start)), &info,
                   sizeof info) != sizeof info ||
      (info.Protect & (PAGE_READWRITE | PAGE_READONLY | PAGE_EXECUTE_READWRITE)) == 0 ||
      (info.Protect & PAGE_GUARD) != 0)
    return false;
  std::memcpy(copy.data(), reinterpret_cast<const void*>(static_cast<std::uintptr_t>(start)), size);
  return true;
}

bool ShouldWalk(const TCaptureThread& thread, TStackFlags flags) {
  return thread.IsRuntime ? flags.Contains(sfRuntimeThreads) : flags.Contains(sfSystemThreads);
}

}  // namespace

void CollectStacksWin32(const TCaptureRequest& request, const TMemoryReader& memory,
                        const TAddressResolver& resolver, TReportSnapshot& snapshot) {
  const DWORD self = GetCurrentThreadId();
  const TCaptureThread* exceptionThread = nullptr;
  for (const TCaptureThread& thread : request.Threads)
    if (thread.Id == request.ExceptionThreadId) exceptionThread = &thread;

  TThreadSnapshot first;
  first.Id = request.ExceptionThreadId;
  if (exceptionThread) {
    first.Priority = PriorityOf(exceptionThread->Handle);
    first.ClassName = exceptionThread->ClassName;
    first.IsMain = exceptionThread->IsMain;
  }
  snapshot.Threads.push_back(first);

  std::vector<std::uint8_t> copy(StackScanLimitBytes);
  try {
    TStackWalkParams params;
    params.ThreadId = request.ExceptionThreadId;
    params.LeadingAddress = request.Exception.Address;
    params.Start = request.StackStart;
    params.StackTop = request.StackTop;
    if (params.Start == 0 && request.ExceptionThreadId == self) {
      params.Start =
          static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
      params.StackTop = 0;
    }
    if (params.Start != 0) {
      if (params.StackTop <= params.Start) params.StackTop = StackTopOf(params.Start);
      AppendWalk(memory, resolver, params, snapshot.Stack);
    } else if (exceptionThread && exceptionThread->Handle) {
      std::uint32_t size = 0;
      if (CopyThreadStack(exceptionThread->Handle, copy, params.Start, size, params.StackTop)) {
        const TStackCopyReader copied(memory, params.Start, copy, size);
        AppendWalk(copied, resolver, params, snapshot.Stack);
      }
    }
  } catch (...) {
    TellSourceFailure(pcExceptionStack, request.OnSourceFailure);
  }

  const TStackFlags flags =
      request.Options ? request.Options->StackFlags() : TStackFlags{sfRuntimeThreads};
  for (const TCaptureThread& thread : request.Threads) {
    if (thread.Id == request.ExceptionThreadId) continue;
    try {
      TThreadSnapshot described;
      described.Id = thread.Id;
      described.Priority = PriorityOf(thread.Handle);
      described.ClassName = thread.ClassName;
      described.IsMain = thread.IsMain;
      snapshot.Threads.push_back(described);
      // A thread cannot suspend itself; the reporting thread is never among the reported.
      if (!ShouldWalk(thread, flags) || !thread.Handle || thread.Id == self) continue;
      TStackWalkParams params;
      params.ThreadId = thread.Id;
      params.Running = true;
      std::uint32_t size = 0;
      if (!CopyThreadStack(thread.Handle, copy, params.Start, size, params.StackTop)) continue;
      const TStackCopyReader copied(memory, params.Start, copy, size);
      AppendWalk(copied, resolver, params, snapshot.Stack);
    } catch (...) {
      TellSourceFailure(pcThreadStacks, request.OnSourceFailure);
    }
  }
}
