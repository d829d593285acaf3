// What each thread keeps about its last raise, for the report that may follow it, and the
// guards of the reporting sequence. Touched first when a thread starts, so that the vectored
// handler of a stack overflow never has to allocate it.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <typeinfo>
#include <vector>

#include "report/capture/EProcessorExceptions.h"
#include "report/text/EReportSnapshot.h"

// The stack of a throw site, copied at the throw: the catch that reports later runs its own
// calls over the same stack. Its return addresses stay what they were wherever they lie, so
// the stack scan reads the copy in place of the live stack.
constexpr std::uint32_t ThrowStackCopyBytes = 32 * 1024;

struct TThreadState {
  // The last C++ throw: the address it returns to, its registers and its stack copy.
  void* ThrownObject = nullptr;
  std::uint32_t ThrowReturnAddress = 0;
  TRegisterSnapshot ThrowRegisters;
  std::unique_ptr<std::uint8_t[]> ThrowStack;
  std::uint32_t ThrowStackSize = 0;
  // The last processor fault, as the vectored handler recorded it.
  bool HasFault = false;
  TProcessorFault Fault;
  TRegisterSnapshot FaultRegisters;
  // The raise address of the last exception this thread notified.
  std::uint32_t LastNotifiedAddress = 0;
  // The thrown object reported as it was raised (no handler would take it), so that the
  // terminate handler that follows does not report it again.
  void* ReportedAtThrow = nullptr;
  // Inside the reporting sequence, or waiting for it: a second exception is not reported.
  bool InsideSequence = false;
  bool InsideNotification = false;
};

TThreadState& CurrentThreadState();

// The thrown object of an exception pointer (the object the throw copied), for matching it
// with the throw this thread recorded.
void* ThrownObjectOf(const std::exception_ptr& e);

// The lowest and one past the highest address of the current thread's stack.
void CurrentStackBounds(std::uint32_t& low, std::uint32_t& high);
