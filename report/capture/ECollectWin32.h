// What the reporting thread collects from the live process for one report: the system values,
// the program's own values, the modules and the call stacks of the exception thread and of the
// threads chosen by the stack flags. The interception fills the request on the faulting
// thread; collecting runs on the reporting thread while the faulting thread waits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/capture/ESourceGuard.h"
#include "report/text/EReportSnapshot.h"

class TOskedaModuleOptions;

// One thread of the process as the thread list knows it.
struct TCaptureThread {
  std::uint32_t Id = 0;
  void* Handle = nullptr;   // with suspend, get-context and query access; not owned
  bool IsMain = false;
  bool IsRuntime = false;   // started through the runtime's thread classes (or the main thread)
  std::string ClassName;    // of the runtime's thread object; empty without one
};

struct TCaptureRequest {
  const TOskedaModuleOptions* Options = nullptr;  // the working options
  // Class, message, address, module, context, raise kind and access violation, as the
  // interception saw them. Date is set by the collector when zero.
  TExceptionSnapshot Exception;
  std::uint32_t ExceptionThreadId = 0;
  // Where the exception thread's stack walk starts (the stack pointer at the raise or fault)
  // and its top; 0: read from the thread itself.
  std::uint32_t StackStart = 0;
  std::uint32_t StackTop = 0;
  // The thread list's snapshot; the exception thread is among them.
  std::vector<TCaptureThread> Threads;
  // The focused control, noted when the exception was dispatched (class, text, style).
  std::string FocusClass, FocusText;
  std::uint32_t FocusStyle = 0;
  bool HasFocus = false;
  // Console programs and web applications leave the active-controls fields out.
  bool OmitActiveControls = false;
  // Process-wide facts kept by the subsystem since start-up.
  TDateTime StartTime = 0;  // local time
  TDateTime BuildTime = 0;  // from the module configuration (UTC); 0: none
  // Told of every value source that failed, with the progress code that names it.
  TSourceFailure OnSourceFailure;
};

// Fills every part of the snapshot: application, exception (date, module long path), active
// controls, system, local offset, modules (with lfModulesSection), the call stack of the
// exception thread and, with sfRuntimeThreads/sfSystemThreads, of each other thread, which is
// suspended for its context and resumed in every case. Every value source is guarded: a
// failing query leaves its value empty and is told to request.OnSourceFailure. Never throws.
TReportSnapshot CollectReportSnapshotWin32(const TCaptureRequest& request);
