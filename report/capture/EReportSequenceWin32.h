// The reporting sequence, run on the reporting thread while the faulting thread waits.
#pragma once

#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EReportContext.h"

// Returns true when the exception was not reported and the program's own handling is to run.
bool RunReportingSequence(TDispatchRequest& request);

// The later steps of the sequence, each in its own unit.
void TakeReportScreenshot(TReportContext& report);
void SaveReportToLog(TReportContext& report);
// How a report went out: inline (finished when DeliverReport returns) or handed to a send
// thread, which applies the rate limit itself once it is done.
enum class TDeliveryRoute { Inline, Background };
TDeliveryRoute DeliverReport(TReportContext& report);
// With bfRateLimit: whether the last CrashCount errors came within CrashWindowMinutes.
bool ErrorRateLimitReached(const TOskedaModuleOptions& options);

// Ends the process with exit code 1, after starting it again when restart is set: its own
// command line, in the start-up folder, with a new process group and normal priority.
[[noreturn]] void TerminateOrRestart(bool restart);
// The folder the program was started in, kept at start-up for a restart.
void SetStartupFolder(const std::string& folder);
// The process start time of the report's first field, kept at start-up.
void RecordStartTime();
