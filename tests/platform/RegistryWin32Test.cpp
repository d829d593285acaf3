// TRegistry on the real registry: a private key under the current user, removed afterwards.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace {

using Names = std::vector<std::string>;

class RegistryWin32Test : public ::testing::Test {
 protected:
  const std::string base =
      "Software\\Dialmoor Registry Test " + std::to_string(GetCurrentProcessId());
  TRegistry reg;  // the process default: the Win32 registry

  void SetUp() override {
    reg.SetRootKey(RegistryRoot::CurrentUser);
    PlatformRegistryBackend().DeleteKeyTree(RegistryRoot::CurrentUser, base);
  }
  // Leaves the registry as it was found, whatever the test did.
  void TearDown() override {
    reg.CloseKey();
    PlatformRegistryBackend().DeleteKeyTree(RegistryRoot::CurrentUser, base);
    EXPECT_FALSE(reg.KeyExists("\\" + base));
  }

  std::string Path(const std::string& sub) const { return "\\" + base + "\\" + sub; }

  template <typename F>
  std::string RegistryError(F f) {
    try {
      f();
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "(no error)";
  }
};

TEST_F(RegistryWin32Test, WritesAndReadsTypedValues) {
  EXPECT_FALSE(reg.OpenKeyReadOnly(Path("Values")));
  ASSERT_TRUE(reg.OpenKey(Path("Values"), true));
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  reg.WriteString("Text", "Central Europe");
  reg.WriteString("Empty", "");
  const std::uint8_t bytes[44] = {0xC4, 0xFF, 0xFF, 0xFF, 1, 2, 3};
  reg.WriteBinaryData("Bin", bytes, 44);
  reg.CloseKey();

  ASSERT_TRUE(reg.OpenKeyReadOnly(Path("VALUES")));
  EXPECT_EQ(reg.ReadString("text"), "Central Europe");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.GetDataSize("Bin"), 44);
  std::uint8_t back[44] = {};
  EXPECT_EQ(reg.ReadBinaryData("Bin", back, 44), 44);
  EXPECT_EQ(std::vector<std::uint8_t>(back, back + 44),
            std::vector<std::uint8_t>(bytes, bytes + 44));
  EXPECT_EQ(RegistryError([&] { reg.ReadBinaryData("Bin", back, 43); }),
            "Invalid data type for 'Bin'");
  EXPECT_EQ(RegistryError([&] { reg.ReadBinaryData("Text", back, 44); }),
            "Invalid data type for 'Text'");
  EXPECT_EQ(RegistryError([&] { reg.ReadString("Bin"); }), "Invalid data type for 'Bin'");
  // Opened read-only: the system refuses the write.
  EXPECT_EQ(RegistryError([&] { reg.WriteString("Text", "x"); }), "Failed to set data for 'Text'");
  EXPECT_EQ(reg.ReadString("Text"), "Central Europe");
}

TEST_F(RegistryWin32Test, ListsSubkeysWithTheirOwnCase) {
  ASSERT_TRUE(reg.OpenKey(Path("List\\Beta"), true));
  ASSERT_TRUE(reg.OpenKey(Path("List\\alpha"), true));
  ASSERT_TRUE(reg.OpenKey(Path("LIST\\BETA"), true));
  ASSERT_TRUE(reg.OpenKeyReadOnly(Path("list")));
  Names names = reg.GetKeyNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"Beta", "alpha"}));
}

TEST_F(RegistryWin32Test, MovesAKeyTreeWithTypedValues) {
  auto key = PlatformRegistryBackend().CreateKey(RegistryRoot::CurrentUser, base + "\\Old\\Sub");
  ASSERT_TRUE(key);
  const std::uint8_t dword[4] = {42, 0, 0, 0};
  ASSERT_TRUE(key->SetValue("Number", RegistryType::DWord, dword));
  key.reset();
  ASSERT_TRUE(reg.OpenKey(Path("Old"), false));
  reg.WriteString("Name", "old");
  reg.CloseKey();

  reg.MoveKey(Path("Old"), Path("New"), true);
  EXPECT_FALSE(reg.KeyExists(Path("Old")));
  ASSERT_TRUE(reg.OpenKeyReadOnly(Path("New")));
  EXPECT_EQ(reg.ReadString("Name"), "old");
  EXPECT_EQ(reg.GetKeyNames(), (Names{"Sub"}));
  auto moved = PlatformRegistryBackend().OpenKey(RegistryRoot::CurrentUser, base + "\\New\\Sub",
                                                 RegistryAccess::Read);
  ASSERT_TRUE(moved);
  RegistryValue value;
  ASSERT_TRUE(moved->QueryValue("Number", value));
  EXPECT_EQ(value.type, RegistryType::DWord);
  EXPECT_EQ(value.data, (std::vector<std::uint8_t>{42, 0, 0, 0}));

  // Onto an existing key: nothing happens.
  ASSERT_TRUE(reg.OpenKey(Path("Other"), true));
  reg.MoveKey(Path("New"), Path("Other"), true);
  EXPECT_TRUE(reg.KeyExists(Path("New")));
  EXPECT_FALSE(reg.KeyExists(Path("Other\\Sub")));
}

}  // namespace
