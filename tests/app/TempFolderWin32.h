// A fresh folder under the temporary directory for a Windows test, removed with its contents.
#pragma once

#include "platform/win/WinApi.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class Win32TempFolder {
 public:
  explicit Win32TempFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::filesystem::path(base) / (name + "-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~Win32TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Win32TempFolder(const Win32TempFolder&) = delete;
  Win32TempFolder& operator=(const Win32TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
