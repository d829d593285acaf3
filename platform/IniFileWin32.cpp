// The platform's private-profile functions; each call opens, reads or writes and closes the file.
#include "platform/win/WinApi.h"

#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace {

class Win32IniBackend final : public IIniBackend {
 public:
  std::string ReadString(const std::string& fileName, std::string_view section,
                         std::string_view key, std::string_view defaultValue) override {
    const std::string sectionText(section), keyText(key), defaultText(defaultValue);
    // The function gives no hint of a value longer than the buffer other than filling it to
    // the last character, so grow until it no longer does.
    std::vector<char> buffer(256);
    for (;;) {
      const DWORD length = GetPrivateProfileStringA(
          sectionText.c_str(), keyText.c_str(), defaultText.c_str(), buffer.data(),
          static_cast<DWORD>(buffer.size()), fileName.c_str());
      if (length + 1 < buffer.size() || buffer.size() >= (1u << 24))
        return std::string(buffer.data(), length);
      buffer.resize(buffer.size() * 4);
    }
  }

  bool WriteString(const std::string& fileName, std::string_view section, std::string_view key,
                   std::string_view value) override {
    const std::string sectionText(section), keyText(key), valueText(value);
    return WritePrivateProfileStringA(sectionText.c_str(), keyText.c_str(), valueText.c_str(),
                                      fileName.c_str()) != FALSE;
  }
};

}  // namespace

IIniBackend& PlatformIniBackend() {
  static Win32IniBackend backend;
  return backend;
}
