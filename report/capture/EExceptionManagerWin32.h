// The dispatcher: one exception at a time, under the reporting critical section, reported by
// the sequence on a reporting thread while the faulting thread waits. ExceptionManager is the
// entry the application hooks and other modules use.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include "report/capture/EDispatchRules.h"
#include "report/capture/EProcessorExceptions.h"
#include "report/text/EReportSnapshot.h"

struct TFaultingThreadChannel;

// One exception on its way to a report.
struct TDispatchRequest {
  // How the reporting thread reaches the waiting faulting thread; null when the sequence
  // runs on the faulting thread itself.
  TFaultingThreadChannel* Channel = nullptr;
  std::exception_ptr Object;  // null for a processor fault: mapped on the reporting thread
  bool IsFault = false;
  TProcessorFault Fault;
  TRaiseKind RaiseKind = TRaiseKind::Processor;
  int Kind = 0;        // selects the display mode
  int FrameClass = 0;  // 1: a safecall method's handler takes it; 2: no filter, no suspension
  std::uint32_t Address = 0;  // the faulting instruction or the throw call
  bool HasRegisters = false;
  TRegisterSnapshot Registers;
  std::uint32_t StackStart = 0, StackTop = 0;  // 0: the live stack of the thread
  std::vector<std::uint8_t> StackCopy;         // a throw site's stack, when copied
  std::uint32_t ThreadId = 0;
  HMODULE Module = nullptr;
};

// Fills the throw site or the fault the current thread recorded, when it belongs to object
// (or, for a fault, when object is null).
void AttachRecordedRaise(TDispatchRequest& request);

// Runs call on the faulting thread while the reporting thread waits, and hands back what it
// raised. Runs it in place when there is no reporting thread, and after a stack overflow,
// whose thread has no stack left to run it.
void RunOnFaultingThread(const TDispatchRequest& request, const std::function<void()>& call);

// Reports the exception; true when the program's own handling is to run as well.
bool DispatchException(TDispatchRequest& request);

// The process's count of reported errors.
int OskedaErrorCount();
void CountOskedaError();

// The process-wide section that serialises reporting and background delivery.
CRITICAL_SECTION& OskedaReportingSection();

// Whether the subsystem was started and is active; the start-up sets it.
bool OskedaLogActive();
void SetOskedaLogActive(bool active);

// How the program runs: from its image's subsystem and the environment.
TProgramKind CurrentProgramKind();

// The cdecl exports of the program (undecorated names). Exception is a pointer to a
// std::exception_ptr; a null pointer or a null exception_ptr means the thread's last notified
// exception.
extern "C" __declspec(dllexport) bool __cdecl ExceptionManager(const std::exception_ptr* exception,
                                                               void* address, int kind,
                                                               HMODULE module);
