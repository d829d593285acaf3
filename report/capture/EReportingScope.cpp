#include "report/capture/EReportingScope.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<bool> handledReported{true};
}

void TExcludedThreads::Add(std::uint32_t threadId) {
  std::lock_guard guard(lock_);
  if (std::find(ids_.begin(), ids_.end(), threadId) == ids_.end()) ids_.push_back(threadId);
}

void TExcludedThreads::Remove(std::uint32_t threadId) {
  std::lock_guard guard(lock_);
  ids_.erase(std::remove(ids_.begin(), ids_.end(), threadId), ids_.end());
}

bool TExcludedThreads::Contains(std::uint32_t threadId) const {
  std::lock_guard guard(lock_);
  return std::find(ids_.begin(), ids_.end(), threadId) != ids_.end();
}

TExcludedThreads& OskedaExcludedThreads() {
  static TExcludedThreads* threads = new TExcludedThreads;  // outlives every thread's last report
  return *threads;
}

void SetHandledExceptionsReported(bool reported) { handledReported.store(reported); }
bool HandledExceptionsReported() { return handledReported.load(); }

bool ReportsHandledExceptionsOf(std::uint32_t threadId) {
  return HandledExceptionsReported() && !OskedaExcludedThreads().Contains(threadId);
}
