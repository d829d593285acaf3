#include "report/dialog/EDialogStoreWin32.h"

#include "platform/win/WinApi.h"

#include "platform/win/UniqueHandle.h"

namespace {

constexpr const char* FileName = "OskedaLog.ini";

bool OpensForReadAndWrite(const std::string& path) {
  UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

}  // namespace

std::string OskedaLogIniPath() {
  char folder[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    const std::string path = std::string(folder, n) + "\\" + FileName;
    if (OpensForReadAndWrite(path)) return path;
  }
  char profile[MAX_PATH] = {};
  const DWORD m = GetEnvironmentVariableA("UserProfile", profile, MAX_PATH);
  const std::string own =
      (m > 0 && m < MAX_PATH ? std::string(profile, m) : std::string(".")) + "\\OskedaLog";
  CreateDirectoryA(own.c_str(), nullptr);
  return own + "\\" + FileName;
}
