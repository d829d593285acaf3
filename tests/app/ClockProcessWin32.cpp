#include "tests/app/ClockProcessWin32.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ClockCommands.h"

namespace {

struct WindowSearch {
  DWORD pid;
  const char* className;
  const char* caption;  // prefix
  bool visible;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid) return TRUE;
  char cls[64] = {}, text[256] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, text, sizeof text);
  if (std::string(cls) != s->className) return TRUE;
  if (std::string(text).rfind(s->caption, 0) != 0) return TRUE;
  if (s->visible && !IsWindowVisible(w)) return TRUE;
  s->found = w;
  return FALSE;
}

}  // namespace

std::string DialmoorExe() {
  const char* path = std::getenv("DM_DIALMOOR_EXE");
  if (!path) return {};
  std::string p = path;
  if (!p.empty() && p[0] == '/') p = "Z:" + p;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

ClockProcess::ClockProcess(const std::string& settings) : folder_("dialmoor-clock") {
  std::filesystem::copy_file(DialmoorExe(), folder_.File("Dialmoor.exe"));
  if (!settings.empty()) std::ofstream(SettingsPath(), std::ios::binary) << settings;
}

ClockProcess::~ClockProcess() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
  }
}

bool ClockProcess::Start() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command(1, '"');
  command.append(folder_.File("Dialmoor.exe")).push_back('"');
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.Path().string().c_str(), &startup, &process_))
    return false;
  processHandle_.reset(process_.hProcess);
  threadHandle_.reset(process_.hThread);
  window_ = WaitForWindow(kClockWindowClass, kClockCaption);
  return window_ != nullptr;
}

HWND ClockProcess::WaitForWindow(const char* className, const char* caption, bool visible) const {
  for (int i = 0; i < 1500; ++i) {
    WindowSearch s{process_.dwProcessId, className, caption, visible};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found) return s.found;
    if (WaitForSingleObject(process_.hProcess, 10) != WAIT_TIMEOUT) return nullptr;
  }
  return nullptr;
}

bool ClockProcess::WaitForTick() {
  for (int i = 0; i < 1000; ++i) {
    if (Text(window_).rfind("Dialmoor - ", 0) == 0) return true;
    Sleep(10);
  }
  return false;
}

bool ClockProcess::WaitForExit(DWORD* exitCode) {
  if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_.hProcess, exitCode);
  return true;
}

bool ClockProcess::CloseAndWait(DWORD* exitCode) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  return WaitForExit(exitCode);
}

HWND ClockProcess::Panel() const { return GetWindow(window_, GW_CHILD); }

HWND ClockProcess::LabelAt(int x, int y) const {
  return ChildWindowFromPointEx(Panel(), POINT{x + 2, y + 2}, CWP_ALL);
}

std::string ClockProcess::Text(HWND window) const {
  char buffer[512] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return buffer;
}

RECT ClockProcess::Bounds() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return r;
}

SIZE ClockProcess::ClientSize() const {
  RECT r{};
  GetClientRect(window_, &r);
  return {r.right, r.bottom};
}

void ClockProcess::Command(unsigned id) const {
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ClockProcess::PostCommand(unsigned id) const {
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

IniLines ParseIni(const std::string& text) {
  IniLines lines;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    lines.emplace_back(section + "/" + line.substr(0, eq), line.substr(eq + 1));
  }
  return lines;
}
