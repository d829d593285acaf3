// The raw stack scan: every 32-bit value on a thread's stack that is a return address (a call
// instruction ends exactly there) becomes a frame. It needs no frame pointers, so it sees
// through optimised code and runtime code alike, at the price of stale return addresses,
// which the clean-up afterwards partly hides.
#pragma once

#include <cstdint>
#include <limits>

#include "report/capture/EMemoryReader.h"
#include "report/capture/EStackEntry.h"

// The scan reads at most this far above its start.
constexpr std::uint32_t StackScanLimitBytes = 100 * 1024;
// Readability of the stack is asked for this many bytes at a time.
constexpr std::uint32_t StackScanWindowBytes = 400;

struct TStackWalkParams {
  std::uint32_t Start = 0;     // the stack pointer at the raise, or from the thread's context
  std::uint32_t StackTop = 0;  // one past the highest stack address (the stack base)
  std::uint32_t ThreadId = 0;
  bool Running = false;
  // Recorded before the scanned frames when not 0: the faulting instruction or the throw call,
  // which is on no stack.
  std::uint32_t LeadingAddress = 0;
  std::uint32_t KindMask = AllKindsMask;
  std::uint32_t Skip = 0;  // entries (after the kind mask) left out at the start
  std::uint32_t MaxCount = std::numeric_limits<std::uint32_t>::max();
  // For a direct call, also record its target (through a jump thunk) before the call site.
  bool VerifyCallTargets = false;
};

// Appends the frames found to list, innermost first. Unreadable memory is skipped, never read.
void WalkStack(const TMemoryReader& memory, const TAddressResolver& resolver,
               const TStackWalkParams& params, TOskedaStackList& list);

// The start of the call instruction that ends exactly at returnAddress, or 0 when no call form
// of the scan ends there. code holds the 7 bytes before returnAddress.
std::uint32_t CallSiteBefore(const TMemoryReader& memory, std::uint32_t returnAddress,
                             const std::uint8_t (&code)[7]);

// Hides return addresses seen twice, on the list of one walk. In the development environment
// it first removes the frames that name nothing of the program and the frames of the
// exception handler itself.
void CleanUpStack(TOskedaStackList& list, bool developmentEnvironment);
