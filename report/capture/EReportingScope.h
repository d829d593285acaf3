// Which exceptions the program wants reported besides those that escape it: with handled
// exceptions reported (the default), an exception that reaches the application's handler is
// reported there, and a throw that no handler will catch is reported as it is raised; threads
// the program excluded report neither. Exceptions that end a thread or the program are
// reported whatever is set here.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// The thread identifiers excluded from reporting, under a lock of their own (the reporting
// and thread-list locks may be held by a thread that is waiting for a report).
class TExcludedThreads {
 public:
  void Add(std::uint32_t threadId);
  void Remove(std::uint32_t threadId);
  bool Contains(std::uint32_t threadId) const;

 private:
  mutable std::mutex lock_;
  std::vector<std::uint32_t> ids_;
};

TExcludedThreads& OskedaExcludedThreads();

void SetHandledExceptionsReported(bool reported);
bool HandledExceptionsReported();

// Whether an exception the program may still handle, raised on threadId, is to be reported.
bool ReportsHandledExceptionsOf(std::uint32_t threadId);
