// The capture probe: a console program built with the reporting subsystem for the cases the
// crash lab does not cover: the report as an HTML page (Kind 2), throws that no handler will
// take, the switch for handled exceptions and excluded threads.
//   CaptureProbe.exe CASE
#include "platform/win/WinApi.h"

#include <cstdio>
#include <string>

#include "platform/SysUtils.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EReportingScope.h"

namespace {

// Straight to the standard output, in order with the reports the subsystem writes there.
void Say(const std::string& line) {
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
            &written, nullptr);
}

bool ReportCaught(int kind) {
  try {
    throw Exception("Probe <page> & \"quotes\" 'apostrophes'");
  } catch (...) {
    return ExceptionManager(nullptr, nullptr, kind, nullptr);
  }
}

struct TCleanup {
  ~TCleanup() { Say("cleanup ran"); }
};

__attribute__((noinline)) void Escape() {
  TCleanup cleanup;
  throw Exception("Probe escaped");  // Probe fault: uncaught
}

// Nothing may leave here: an exception that tries ends the program.
__attribute__((noinline)) void Sealed() noexcept { Escape(); }

int RunCase(const std::string& name) {
  if (name == "html-page") {
    Say("manager returned " + std::to_string(ReportCaught(2)));
  } else if (name == "uncaught" || name == "uncaught-unreported") {
    SetHandledExceptionsReported(name == "uncaught");
    Sealed();
  } else if (name == "scope") {
    OskedaExcludedThreads().Add(GetCurrentThreadId());
    Say("excluded thread: manager returned " + std::to_string(ReportCaught(1)));
    OskedaExcludedThreads().Remove(GetCurrentThreadId());
    SetHandledExceptionsReported(false);
    Say("handled off: manager returned " + std::to_string(ReportCaught(1)));
    SetHandledExceptionsReported(true);
    Say("reported: manager returned " + std::to_string(ReportCaught(1)));
  } else {
    std::fprintf(stderr, "CaptureProbe: unknown case %s\n", name.c_str());
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  StartOskedaExceptionLog();
  if (argc != 2) {
    std::fprintf(stderr, "usage: CaptureProbe.exe CASE\n");
    return 2;
  }
  return RunCase(argv[1]);
}
