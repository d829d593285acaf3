#include <gtest/gtest.h>

#include <cstring>

#include "app/AboutCompany.h"
#include "platform/MemoryRegistry.h"
#include "platform/Registry.h"

namespace {

const std::string kKeyPath = std::string(kUserInfoKey.substr(1));

class AboutCompanyTest : public ::testing::Test {
 protected:
  void SetValue(std::string_view name, DWORD type, const std::vector<std::uint8_t>& data) {
    auto key = registry.CreateKey(RegistryRoot::CurrentUser, kKeyPath);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetValue(name, type, data));
  }
  void SetString(std::string_view text, DWORD type = RegistryType::String) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue("DefCompany", type, data);
  }
  MemoryRegistry registry;
};

TEST_F(AboutCompanyTest, MissingKeyIsUnknownAndShowsNothing) {
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
  // The lookup never makes the key it did not find.
  EXPECT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, kKeyPath, RegistryAccess::Read), nullptr);
}

TEST_F(AboutCompanyTest, KeyUnderAnotherRootIsNotTheUsers) {
  auto key = registry.CreateKey(RegistryRoot::LocalMachine, kKeyPath);
  ASSERT_TRUE(key);
  const std::uint8_t text[] = "Elsewhere";
  ASSERT_TRUE(key->SetValue("DefCompany", RegistryType::String, text));
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
}

TEST_F(AboutCompanyTest, StringValuesAreShown) {
  SetString("Harbour Works Ltd.");
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Harbour Works Ltd.");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "Harbour Works Ltd.");
  SetString("%COMPANY%", RegistryType::ExpandString);
  EXPECT_EQ(RegisteredCompanyCaption(registry), "%COMPANY%");
}

TEST_F(AboutCompanyTest, TextEndsAtTheFirstNul) {
  SetValue("DefCompany", RegistryType::String, {'A', 'c', 'm', 0, 'x', 'y', 0});
  EXPECT_EQ(RegisteredCompanyCaption(registry), "Acm");
  SetValue("DefCompany", RegistryType::String, {'N', 'o', 'N', 'u', 'l'});
  EXPECT_EQ(RegisteredCompanyCaption(registry), "NoNul");
}

TEST_F(AboutCompanyTest, StoredUnknownIsNotShown) {
  SetString("Unknown");
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
  SetString("unknown");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "unknown");
}

TEST_F(AboutCompanyTest, EmptyAndMissingValuesGiveTheEmptyText) {
  SetString("");
  EXPECT_EQ(ReadUserInfo("DefCompany", registry), "");
  EXPECT_EQ(ReadUserInfo("DefName", registry), "");
  EXPECT_EQ(RegisteredCompanyCaption(registry), "");
}

TEST_F(AboutCompanyTest, WrongTypeIsUnknown) {
  for (const DWORD type : {RegistryType::DWord, RegistryType::Binary, RegistryType::MultiString,
                           RegistryType::QWord}) {
    SetValue("DefCompany", type, {'A', 'B', 0, 0});
    EXPECT_EQ(ReadUserInfo("DefCompany", registry), "Unknown") << "type " << type;
    EXPECT_EQ(RegisteredCompanyCaption(registry), "") << "type " << type;
  }
}

TEST_F(AboutCompanyTest, ReadOnlyKeyStillGivesTheCompany) {
  SetString("Read Only Inc.");
  ASSERT_TRUE(registry.DenyWriteAccess(RegistryRoot::CurrentUser, kKeyPath));
  EXPECT_EQ(RegisteredCompanyCaption(registry), "Read Only Inc.");
}

TEST_F(AboutCompanyTest, UsesTheInstalledBackendByDefault) {
  SetString("Default Backend Co.");
  ScopedRegistryBackend scoped(registry);
  EXPECT_EQ(RegisteredCompanyCaption(), "Default Backend Co.");
}

}  // namespace
