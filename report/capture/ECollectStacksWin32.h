// The call stacks of a report: the exception thread's from where it raised or faulted, and
// each other chosen thread's from its stack pointer, read while the thread is suspended.
#pragma once

#include "report/capture/ECollectWin32.h"
#include "report/capture/EMemoryReader.h"
#include "report/capture/EStackEntry.h"

// Fills snapshot.Stack (the exception thread's frames first) and snapshot.Threads.
void CollectStacksWin32(const TCaptureRequest& request, const TMemoryReader& memory,
                        const TAddressResolver& resolver, TReportSnapshot& snapshot);
