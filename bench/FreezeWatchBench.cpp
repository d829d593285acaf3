// The program side of freeze_watch_bench.sh: the reporting subsystem with a window whose thread
// only waits for messages, then the freeze watcher started on it and left to watch for 20 s.
// Its lines tell the script when to look: "ready" (no watcher yet), "watching", "done"; last
// comes the watcher's own time as GetThreadTimes gives it (in 10 ms steps under Wine).
#include "platform/win/WinApi.h"

#include <cstdio>

#include "report/capture/EInterceptWin32.h"
#include "report/freeze/EFreezeWatchWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"

namespace {

constexpr DWORD kWatchMs = 20000;

double Milliseconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 10000.0;
}

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

void Idle(DWORD ms) {
  const UINT_PTR timer = SetTimer(nullptr, 0, ms, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageA(&msg);
  KillTimer(nullptr, timer);
}

}  // namespace

int main() {
  TOskedaModuleOptions* options = nullptr;
  if (!StartOskedaExceptionLog() || !InstallFreezeWatch() ||
      !(options = FindCurrentOskedaLogOptions())) {
    std::fprintf(stderr, "FreezeWatchBench: the reporting subsystem did not start\n");
    return 1;
  }
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "FreezeWatchBench";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "FreezeWatchBench", "FreezeWatchBench", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50,
                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  Idle(500);
  Say("ready");
  Idle(1000);
  options->SetFreezeWatch(true);
  HANDLE watcher = FreezeWatchThreadHandle();
  if (!watcher) {
    std::fprintf(stderr, "FreezeWatchBench: no watcher started\n");
    return 1;
  }
  Idle(200);
  Say("watching");
  Idle(kWatchMs);
  Say("done");
  Idle(1000);
  FILETIME created, exited, kernel, user;
  if (GetThreadTimes(watcher, &created, &exited, &kernel, &user))
    std::printf("thread_times %.2f ms in %lu ms\n", Milliseconds(kernel) + Milliseconds(user),
                static_cast<unsigned long>(kWatchMs));
  StopFreezeWatch();
  return 0;
}
