// A DLL built with the reporting subsystem: the exception of its handler is reported by the
// program's copy, through the exports the subsystem forwards to.
#include "platform/win/WinApi.h"

#include "platform/SysUtils.h"
#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/capture/EOskedaEvents.h"

namespace {

__attribute__((noinline)) void FailInDll() {
  throw Exception("CrashLab DLL failure");  // CrashLab fault: dll-throw
}

}  // namespace

// Runs a handler of the DLL the way a dispatch point would; returns whether the program's
// copy asked the DLL's own handling to run as well.
extern "C" __declspec(dllexport) bool __cdecl CrashLabDllRun() {
  StartOskedaExceptionLog();
  try {
    FailInDll();
  } catch (...) {
    return ExceptionManager(nullptr, nullptr, 1, nullptr);
  }
  return true;
}

// The module's own event procedure: asked first, since the exception arose in this module.
extern "C" __declspec(dllexport) void __cdecl OskedaLog_CustomDataRequestEvent(
    const TOskedaExceptionRecord*, std::string* data) {
  *data += "CrashLab DLL data; ";
}
