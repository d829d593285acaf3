// A "mailto:" handler of the tests' own. It appends to the file named by DIALMOOR_MAILTO_RECORD
// its command line, how it was asked to show its window and whether the window was made top-most
// within eight seconds; then it ends with exit code 7.
#include "platform/win/WinApi.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Record(const char* format, const char* text) {
  const char* path = std::getenv("DIALMOOR_MAILTO_RECORD");
  if (!path) return;
  if (FILE* file = std::fopen(path, "ab")) {
    std::fprintf(file, format, text);
    std::fclose(file);
  }
}

bool TopMost(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Record("command %s\n", GetCommandLineA());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  char show[64];
  std::snprintf(show, sizeof show, "%d %d", (startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0,
                startup.wShowWindow);
  Record("show %s\n", show);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "DialmoorTestCompose";
  RegisterClassA(&windowClass);
  const HWND window =
      CreateWindowExA(0, windowClass.lpszClassName, "Compose", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWDEFAULT);
  const DWORD start = GetTickCount();
  while (!TopMost(window) && GetTickCount() - start < 8000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  Record("topmost %s\n", TopMost(window) ? "yes" : "no");
  DestroyWindow(window);
  return 7;
}
