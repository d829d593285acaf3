// The freeze lab: a console program built with the reporting subsystem whose main thread stops
// answering its window in the ways a freeze test needs. Every case ends with a plain hang in
// FinalHang, so that a watcher that watches at all has one freeze to report; reports go to the
// standard output.
//   FreezeLab.exe CASE     (CASE: slow, destroy, toggle, allocate)
#include "platform/win/WinApi.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "report/capture/EExceptionManagerWin32.h"
#include "report/capture/EInterceptWin32.h"
#include "report/freeze/EFreezeWatchWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/ECurrentOptions.h"

namespace {

HWND CreateLabWindow() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FreezeLab";
    return RegisterClassA(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  HWND window = CreateWindowExA(0, "FreezeLab", "FreezeLab", WS_POPUP | WS_VISIBLE, 10, 10, 200,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window);
  return window;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Answers for a while: long enough for the watcher to find the window and ping it.
void Answer(DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  while (GetTickCount64() < until) {
    Pump();
    Sleep(10);
  }
}

void Note(const char* what) {
  std::printf("%s: watcher %lu\n", what, static_cast<unsigned long>(FreezeWatchThreadId()));
  std::fflush(stdout);
}

__attribute__((noinline)) void FinalHang() {
  Sleep(3500);  // FreezeLab hang: final
}

// A main thread that allocates without pause, in sizes the heap serves under its lock: when the
// watcher stops it, it most likely holds that lock, which the report needs as well.
__attribute__((noinline)) void AllocatingHang() {
  const ULONGLONG until = GetTickCount64() + 20000;
  std::vector<std::unique_ptr<char[]>> kept(64);
  for (unsigned i = 0; OskedaErrorCount() == 0 && GetTickCount64() < until; ++i)
    kept[i % 64].reset(new char[64 + (i * 7919) % 200000]);  // FreezeLab hang: allocate
}

void SetFreezeWatch(bool on) {
  if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions()) options->SetFreezeWatch(on);
}

void SetFreezeSeconds(int seconds) {
  if (TOskedaModuleOptions* options = FindCurrentOskedaLogOptions())
    options->SetFreezeSeconds(seconds);
}

int RunCase(const std::string& name) {
  HWND window = CreateLabWindow();
  Answer(500);
  if (name == "slow") {
    // Answers once every 1.5 s, inside the 2 s limit.
    for (int i = 0; i < 5; ++i) {
      Sleep(1500);
      Pump();
    }
  } else if (name == "destroy") {
    // Wine takes up to 2 s to destroy a shown window, all of it unanswered: the limit is 4 s
    // here. 1 s unanswered, the window replaced by a new one, 3 s more: over 4 s in all, but
    // the count starts again with the new window.
    SetFreezeSeconds(4);
    Sleep(1000);
    DestroyWindow(window);
    window = CreateLabWindow();
    Sleep(3000);
    Answer(500);
    SetFreezeSeconds(2);
  } else if (name == "toggle") {
    Note("on");
    SetFreezeWatch(false);
    Note("off");
    Sleep(3000);
    Answer(200);
    SetFreezeWatch(true);
    Note("on again");
    Answer(500);
  } else if (name == "allocate") {
    AllocatingHang();
    Answer(200);
    StopFreezeWatch();
    return OskedaErrorCount();
  } else {
    std::fprintf(stderr, "FreezeLab: unknown case %s\n", name.c_str());
    return 2;
  }
  std::printf("reports before the final hang: %d\n", OskedaErrorCount());
  std::fflush(stdout);
  FinalHang();
  // The final hang's report may still be running; it finishes before the program ends.
  for (int i = 0; i < 1000 && OskedaErrorCount() == 0; ++i) Answer(10);
  StopFreezeWatch();
  return OskedaErrorCount();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: FreezeLab.exe CASE\n");
    return 2;
  }
  if (!StartOskedaExceptionLog() || !InstallFreezeWatch()) {
    std::fprintf(stderr, "FreezeLab: the reporting subsystem did not start\n");
    return 2;
  }
  std::fflush(stdout);
  const int code = RunCase(argv[1]);
  std::fflush(stdout);
  return code;
}
