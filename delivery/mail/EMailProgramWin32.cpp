#include "delivery/mail/EMailProgramWin32.h"

#include <algorithm>

#include "platform/win/UniqueHandle.h"

namespace {

struct TWindowSearch {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK TakeMainWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TWindowSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->ProcessId || !IsWindowVisible(window)) return TRUE;
  const HWND owner = GetWindow(window, GW_OWNER);
  if (owner && IsWindowVisible(owner)) return TRUE;
  search->Found = window;
  return FALSE;
}

}  // namespace

HWND MainWindowOfProcess(DWORD processId) {
  TWindowSearch search{processId, nullptr};
  EnumWindows(&TakeMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string ReadRegistryText(HKEY root, const std::string& keyName, const char* valueName) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return {};
  const UniqueRegKey key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::string text(size + 1, '\0');
  size = static_cast<DWORD>(text.size());
  if (RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &size) != ERROR_SUCCESS)
    return {};
  // The stored text need not end with its zero.
  text.resize(std::min<std::size_t>(size, text.size()));
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string ExpandEnvironment(const std::string& text) {
  char expanded[2048];
  const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof expanded);
  if (length == 0 || length > sizeof expanded) return {};
  return expanded;
}

std::string SystemErrorText(DWORD code) {
  char text[1024] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  return length ? std::string(text, length) : "Error " + std::to_string(code);
}
