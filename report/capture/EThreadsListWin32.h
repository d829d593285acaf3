// TOskedaThreadsList: the threads the process started while the subsystem ran, and the main
// thread, each with a handle that allows suspending it and reading its context.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "report/capture/ECollectWin32.h"

constexpr std::int32_t ThreadPriorityNotRead = static_cast<std::int32_t>(0x80000000u);

// The entry the thread hooks hand to OskedaLog_CallCreateThread / ResumeThread, laid out as
// other modules of the process pass it.
#pragma pack(push, 1)
struct TOskedaThreadEntry {
  std::uint32_t ThreadId;
  HANDLE Handle;
  std::int32_t Priority;
  void* ThreadObject;  // the runtime's thread object, or null
  void* Procedure;
  void* Parameter;
  void* RuntimeProcedure;
  void* RuntimeParameter;
  std::uint32_t StackMark;
  // Set when the thread ran its first instruction of our wrapper.
  std::uint8_t Started;
  std::uint8_t Reserved[12];
};
#pragma pack(pop)
static_assert(sizeof(TOskedaThreadEntry) == 49);

class TOskedaThreadsList {
 public:
  TOskedaThreadsList() = default;
  // Snapshots other under its lock.
  TOskedaThreadsList(const TOskedaThreadsList& other);
  TOskedaThreadsList& operator=(const TOskedaThreadsList&) = delete;
  ~TOskedaThreadsList();

  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  // The list owns a duplicate of entry.Handle (suspend, get-context and query access).
  void Add(const TOskedaThreadEntry& entry);
  // Adds the calling thread as the main thread.
  void AddMainThread();
  TOskedaThreadEntry* FindById(std::uint32_t id);
  TOskedaThreadEntry* FindByHandle(HANDLE handle);
  TOskedaThreadEntry* FindByObject(const void* object);
  void RemoveCurrentThread();
  void Clear();
  std::size_t Count() const { return entries_.size(); }
  std::uint32_t MainThreadId() const { return mainThreadId_; }
  // The live threads as the collector takes them; ended threads leave the list here.
  std::vector<TCaptureThread> CaptureThreads();

 private:
  mutable std::recursive_mutex lock_;
  std::vector<TOskedaThreadEntry> entries_;
  std::uint32_t mainThreadId_ = 0;
};

TOskedaThreadsList& OskedaThreadsList();
