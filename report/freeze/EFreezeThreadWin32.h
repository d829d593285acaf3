// TFreezeThread: the watcher that pings the program's main window and reports a freeze through
// the dispatcher when the window has not answered for FreezeSeconds.
#pragma once

#include "platform/win/WinApi.h"

#include <atomic>

#include "platform/win/UniqueHandle.h"
#include "report/freeze/EFreezeRules.h"

class TFreezeThread {
 public:
  // mainThread: a handle of the main thread with suspend, get-context and query access.
  TFreezeThread(UniqueKernelHandle mainThread, DWORD mainThreadId);
  TFreezeThread(const TFreezeThread&) = delete;
  TFreezeThread& operator=(const TFreezeThread&) = delete;

  // Starts the thread at normal priority; false when the system refused it.
  bool Start();
  // Asks the thread to end; it notices at its next ping or rest, or once its report is done.
  void Terminate();
  void WaitFor();
  // Ends the thread at once, where waiting is not allowed (a DLL under the loader lock).
  void Kill();

  DWORD ThreadId() const { return threadId_; }
  HANDLE Handle() const { return thread_.get(); }

 private:
  static DWORD WINAPI Execute(void* self);
  void Run();
  // Waits ms unless termination is asked for first; false then.
  bool Rest(DWORD ms);
  bool Terminated() const;
  HWND FindMainWindow() const;
  TPingResult Ping(HWND window);
  void ReportFreeze();

  UniqueKernelHandle mainThread_;
  DWORD mainThreadId_;
  // The flag is what the loop reads (a wait costs a trip to the server under Wine); the event
  // wakes a rest early.
  std::atomic<bool> terminated_{false};
  UniqueKernelHandle stop_;
  UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
};
