#include "report/capture/EThreadsListWin32.h"

#include <algorithm>

namespace {

constexpr DWORD ThreadReportAccess =
    THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION;  // 74

HANDLE DuplicateForReport(HANDLE handle) {
  HANDLE copy = nullptr;
  if (!handle || !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy,
                                  ThreadReportAccess, FALSE, 0))
    return nullptr;
  return copy;
}

}  // namespace

TOskedaThreadsList::TOskedaThreadsList(const TOskedaThreadsList& other) {
  std::lock_guard guard(other.lock_);
  mainThreadId_ = other.mainThreadId_;
  for (TOskedaThreadEntry entry : other.entries_) {
    entry.Handle = DuplicateForReport(entry.Handle);
    entries_.push_back(entry);
  }
}

TOskedaThreadsList::~TOskedaThreadsList() { Clear(); }

void TOskedaThreadsList::Add(const TOskedaThreadEntry& entry) {
  std::lock_guard guard(lock_);
  TOskedaThreadEntry copy = entry;
  copy.Handle = DuplicateForReport(entry.Handle);
  if (TOskedaThreadEntry* known = FindById(entry.ThreadId)) {
    if (known->Handle) CloseHandle(known->Handle);
    *known = copy;
    return;
  }
  entries_.push_back(copy);
}

void TOskedaThreadsList::AddMainThread() {
  TOskedaThreadEntry entry{};
  entry.ThreadId = GetCurrentThreadId();
  entry.Handle = GetCurrentThread();  // the pseudo handle, duplicated by Add
  entry.Priority = ThreadPriorityNotRead;
  entry.Started = 1;
  Add(entry);
  std::lock_guard guard(lock_);
  mainThreadId_ = entry.ThreadId;
}

TOskedaThreadEntry* TOskedaThreadsList::FindById(std::uint32_t id) {
  std::lock_guard guard(lock_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [id](const TOskedaThreadEntry& e) { return e.ThreadId == id; });
  return it == entries_.end() ? nullptr : &*it;
}

TOskedaThreadEntry* TOskedaThreadsList::FindByHandle(HANDLE handle) {
  std::lock_guard guard(lock_);
  const DWORD id = GetThreadId(handle);
  return id ? FindById(id) : nullptr;
}

TOskedaThreadEntry* TOskedaThreadsList::FindByObject(const void* object) {
  std::lock_guard guard(lock_);
  auto it = std::find_if(entries_.begin(), entries_.end(), [object](const TOskedaThreadEntry& e) {
    return object && e.ThreadObject == object;
  });
  return it == entries_.end() ? nullptr : &*it;
}

void TOskedaThreadsList::RemoveCurrentThread() {
  std::lock_guard guard(lock_);
  const DWORD id = GetCurrentThreadId();
  std::erase_if(entries_, [id](const TOskedaThreadEntry& e) {
    if (e.ThreadId != id) return false;
    if (e.Handle) CloseHandle(e.Handle);
    return true;
  });
}

void TOskedaThreadsList::Clear() {
  std::lock_guard guard(lock_);
  for (const TOskedaThreadEntry& e : entries_)
    if (e.Handle) CloseHandle(e.Handle);
  entries_.clear();
}

std::vector<TCaptureThread> TOskedaThreadsList::CaptureThreads() {
  std::lock_guard guard(lock_);
  std::erase_if(entries_, [](const TOskedaThreadEntry& e) {
    DWORD code = 0;
    if (e.Handle && GetExitCodeThread(e.Handle, &code) && code == STILL_ACTIVE) return false;
    if (e.Handle) CloseHandle(e.Handle);
    return true;
  });
  std::vector<TCaptureThread> threads;
  for (const TOskedaThreadEntry& e : entries_) {
    TCaptureThread t;
    t.Id = e.ThreadId;
    t.Handle = e.Handle;
    t.IsMain = e.ThreadId == mainThreadId_;
    t.IsRuntime = t.IsMain || e.ThreadObject != nullptr;
    threads.push_back(t);
  }
  return threads;
}

TOskedaThreadsList& OskedaThreadsList() {
  static TOskedaThreadsList* list = new TOskedaThreadsList;  // outlives every thread's exit
  return *list;
}
