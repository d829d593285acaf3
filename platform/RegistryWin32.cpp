// The registry backend on the Win32 registry, through the A functions so that names and
// strings are in the system code page.
#include "platform/win/WinApi.h"

#include <string>
#include <utility>

#include "platform/RegistryBackend.h"
#include "platform/win/UniqueHandle.h"

static_assert(RegistryType::String == REG_SZ && RegistryType::ExpandString == REG_EXPAND_SZ &&
              RegistryType::Binary == REG_BINARY && RegistryType::DWord == REG_DWORD &&
              RegistryType::MultiString == REG_MULTI_SZ && RegistryType::QWord == REG_QWORD);

namespace {

HKEY RootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

class Win32Key final : public IRegistryKey {
 public:
  explicit Win32Key(UniqueRegKey key) : key_(std::move(key)) {}

  std::vector<std::string> SubKeyNames() override {
    std::vector<std::string> names;
    DWORD maxLength = 0;
    if (RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    std::string buffer(maxLength + 1, '\0');
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG result = RegEnumKeyExA(key_.get(), index, buffer.data(), &length, nullptr, nullptr,
                                        nullptr, nullptr);
      if (result == ERROR_MORE_DATA && buffer.size() < 65536) {
        buffer.resize(buffer.size() * 2);  // a key added since the size query
        continue;
      }
      if (result != ERROR_SUCCESS) break;
      names.emplace_back(buffer.data(), length);
      ++index;
    }
    return names;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    DWORD maxLength = 0;
    if (RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &maxLength, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    std::string buffer(maxLength + 1, '\0');
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG result = RegEnumValueA(key_.get(), index, buffer.data(), &length, nullptr, nullptr,
                                        nullptr, nullptr);
      if (result == ERROR_MORE_DATA && buffer.size() < 65536) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (result != ERROR_SUCCESS) break;
      names.emplace_back(buffer.data(), length);
      ++index;
    }
    return names;
  }

  bool QueryValue(std::string_view name, RegistryValue& value) override {
    const std::string valueName(name);
    // Most values fit a small buffer, and each query is a round trip to the registry: ask
    // for the data at once and only ask again, with the size given, when it did not fit.
    DWORD type = 0;
    DWORD size = 256;
    for (int attempt = 0; attempt < 8; ++attempt) {
      value.data.resize(size);
      const LONG result =
          RegQueryValueExA(key_.get(), valueName.c_str(), nullptr, &type, value.data.data(), &size);
      if (result == ERROR_MORE_DATA) continue;  // size now holds what it needs
      if (result != ERROR_SUCCESS) return false;
      value.data.resize(size);
      value.type = type;
      return true;
    }
    return false;
  }

  bool QueryValueInfo(std::string_view name, DWORD& type, std::size_t& size) override {
    DWORD dataSize = 0;
    if (RegQueryValueExA(key_.get(), std::string(name).c_str(), nullptr, &type, nullptr,
                         &dataSize) != ERROR_SUCCESS)
      return false;
    size = dataSize;
    return true;
  }

  bool SetValue(std::string_view name, DWORD type, std::span<const std::uint8_t> data) override {
    return RegSetValueExA(key_.get(), std::string(name).c_str(), 0, type,
                          data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

 private:
  UniqueRegKey key_;
};

class Win32Registry final : public IRegistryBackend {
 public:
  std::unique_ptr<IRegistryKey> OpenKey(RegistryRoot root, std::string_view path,
                                        RegistryAccess access) override {
    const REGSAM rights = access == RegistryAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootHandle(root), std::string(path).c_str(), 0, rights, &key) !=
        ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32Key>(UniqueRegKey(key));
  }

  std::unique_ptr<IRegistryKey> CreateKey(RegistryRoot root, std::string_view path) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(RootHandle(root), std::string(path).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32Key>(UniqueRegKey(key));
  }

  bool DeleteKeyTree(RegistryRoot root, std::string_view path) override {
    if (path.empty()) return false;
    return RegDeleteTreeA(RootHandle(root), std::string(path).c_str()) == ERROR_SUCCESS;
  }
};

}  // namespace

IRegistryBackend& PlatformRegistryBackend() {
  static Win32Registry registry;
  return registry;
}
