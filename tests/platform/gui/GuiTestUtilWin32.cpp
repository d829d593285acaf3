#include "tests/platform/gui/GuiTestUtilWin32.h"

#include "platform/win/WinApi.h"

#include <chrono>

void Pump(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    Application->ProcessMessages();
    Sleep(1);
  }
}

std::string WindowText(HWND window) {
  char buffer[512] = {};
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string ListCell(HWND list, int row, int column) {
  char buffer[256] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

void ClickAt(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(window, WM_LBUTTONUP, 0, at);
  Pump();
}

std::string StatusText(HWND statusBar) {
  char buffer[512] = {};
  SendMessageA(statusBar, SB_GETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(buffer));
  // Wine answers the simple panel's text only as the text of part 0.
  if (!buffer[0] && RunningUnderWine())
    SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

MessageBoxAnswerer::MessageBoxAnswerer(std::string title)
    : title_(std::move(title)), thread_([this] { Run(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  stop_ = true;
  thread_.join();
}

void MessageBoxAnswerer::Run() {
  for (int tries = 0; tries < 3000 && !stop_; ++tries) {
    if (HWND box = FindWindowA("#32770", title_.c_str())) {
      // The message text is the box's static control with the id 0xFFFF.
      text_ = WindowText(GetDlgItem(box, 0xFFFF));
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      done_ = true;
      return;
    }
    Sleep(10);
  }
  done_ = true;
}

std::string MessageBoxAnswerer::Text() {
  thread_.join();
  thread_ = std::thread([] {});
  return text_;
}
