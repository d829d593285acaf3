// The registered company on the platform's registry; the user information key is put back as
// it was found after every test.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <optional>
#include <string>
#include <vector>

#include "app/AboutCompany.h"
#include "platform/win/UniqueHandle.h"

namespace {

constexpr const char* kParentPath = "Software\\Microsoft\\MS Setup (ACME)";
constexpr const char* kKeyPath = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

UniqueRegKey OpenUserKey(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
  return UniqueRegKey(key);
}

struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

// Notes the key and its "DefCompany" value as found and puts both back when it goes.
class UserInfoGuard {
 public:
  UserInfoGuard() : parentExisted_(OpenUserKey(kParentPath)) {
    if (const UniqueRegKey key = OpenUserKey(kKeyPath)) {
      keyExisted_ = true;
      DWORD type = 0, size = 0;
      if (RegQueryValueExA(key.get(), "DefCompany", nullptr, &type, nullptr, &size) ==
          ERROR_SUCCESS) {
        StoredValue value{type, std::vector<BYTE>(size)};
        RegQueryValueExA(key.get(), "DefCompany", nullptr, &type, value.data.data(), &size);
        value.data.resize(size);
        original_ = std::move(value);
      }
    }
  }
  ~UserInfoGuard() {
    if (!keyExisted_) {
      RegDeleteKeyA(HKEY_CURRENT_USER, kKeyPath);
      if (!parentExisted_) RegDeleteKeyA(HKEY_CURRENT_USER, kParentPath);
      return;
    }
    const UniqueRegKey key = OpenUserKey(kKeyPath);
    if (!key) return;
    if (original_)
      RegSetValueExA(key.get(), "DefCompany", 0, original_->type, original_->data.data(),
                     static_cast<DWORD>(original_->data.size()));
    else
      RegDeleteValueA(key.get(), "DefCompany");
  }
  UserInfoGuard(const UserInfoGuard&) = delete;
  UserInfoGuard& operator=(const UserInfoGuard&) = delete;

  bool KeyExisted() const { return keyExisted_; }

  static void Set(DWORD type, const std::vector<BYTE>& data) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    const UniqueRegKey key(created);
    ASSERT_EQ(RegSetValueExA(key.get(), "DefCompany", 0, type, data.data(),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }
  static void SetString(const std::string& text, DWORD type = REG_SZ) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    Set(type, data);
  }

 private:
  bool parentExisted_;
  bool keyExisted_ = false;
  std::optional<StoredValue> original_;
};

TEST(AboutCompanyWin32, MissingKeyShowsNothingAndIsNotCreated) {
  UserInfoGuard guard;
  if (guard.KeyExisted()) GTEST_SKIP() << "this prefix has registered user information";
  EXPECT_EQ(ReadUserInfo("DefCompany", PlatformRegistryBackend()), "Unknown");
  EXPECT_EQ(RegisteredCompanyCaption(PlatformRegistryBackend()), "");
  EXPECT_FALSE(OpenUserKey(kKeyPath));
}

TEST(AboutCompanyWin32, EveryKindOfValue) {
  UserInfoGuard guard;
  IRegistryBackend& registry = PlatformRegistryBackend();
  UserInfoGuard::SetString("Harbour Works Ltd.");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "Harbour Works Ltd.");
  UserInfoGuard::SetString("%COMPANY%", REG_EXPAND_SZ);
  EXPECT_EQ(RegisteredCompanyCaption(registry), "%COMPANY%");
  UserInfoGuard::SetString("Unknown");
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
  UserInfoGuard::SetString("");
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
  UserInfoGuard::Set(REG_DWORD, {1, 0, 0, 0});
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
  UserInfoGuard::Set(REG_BINARY, {'A', 'B', 0});
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
  EXPECT_EQ(ReadUserInfo("NoSuchValue", registry), "");
}

TEST(AboutCompanyWin32, GuardLeavesTheRegistryAsFound) {
  const bool existed = static_cast<bool>(OpenUserKey(kKeyPath));
  {
    UserInfoGuard guard;
    UserInfoGuard::SetString("Temporary");
    ASSERT_TRUE(OpenUserKey(kKeyPath));
  }
  EXPECT_EQ(static_cast<bool>(OpenUserKey(kKeyPath)), existed);
}

}  // namespace
