#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "platform/Registry.h"

namespace {

using Names = std::vector<std::string>;

class RegistryTest : public ::testing::Test {
 protected:
  MemoryRegistry store;
  TRegistry reg{store};

  void SetUp() override { reg.SetRootKey(RegistryRoot::LocalMachine); }

  // Sets a value of any type on a key, creating it.
  void Put(const std::string& path, const std::string& name, DWORD type,
           std::vector<std::uint8_t> data) {
    auto key = store.CreateKey(RegistryRoot::LocalMachine, path);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetValue(name, type, data));
  }

  RegistryValue Get(const std::string& path, const std::string& name) {
    RegistryValue value;
    auto key = store.OpenKey(RegistryRoot::LocalMachine, path, RegistryAccess::Read);
    if (key) key->QueryValue(name, value);
    return value;
  }

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

TEST_F(RegistryTest, OpensAbsoluteAndRelativePathsAndCreatesOnlyWhenAsked) {
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\A\\B"));
  EXPECT_FALSE(reg.OpenKey("\\A\\B", false));
  ASSERT_TRUE(reg.OpenKey("\\A\\B", true));
  EXPECT_EQ(reg.CurrentPath(), "A\\B");
  ASSERT_TRUE(reg.OpenKey("C", true));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), "A\\B\\C");
  reg.CloseKey();
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_TRUE(reg.KeyExists("\\A\\B\\C"));
  EXPECT_FALSE(reg.KeyExists("\\A\\C"));
  // Another root does not see the keys.
  reg.SetRootKey(RegistryRoot::CurrentUser);
  EXPECT_FALSE(reg.KeyExists("\\A"));
  // Empty path parts name no key.
  EXPECT_FALSE(reg.OpenKey("\\X\\\\Y", true));
}

TEST_F(RegistryTest, KeyNamesAreCaseInsensitiveAndKeepTheirCase) {
  ASSERT_TRUE(reg.OpenKey("\\Zones\\beta Zone", true));
  ASSERT_TRUE(reg.OpenKey("\\Zones\\Alpha", true));
  ASSERT_TRUE(reg.OpenKey("\\ZONES\\BETA ZONE", true));  // the same key again
  ASSERT_TRUE(reg.OpenKey("\\Zones\\gamma", true));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\zones"));
  EXPECT_EQ(reg.GetKeyNames(), (Names{"Alpha", "beta Zone", "gamma"}));
  EXPECT_EQ(RegistryError([&] { reg.WriteString("Value", "x"); }),
            "Failed to set data for 'Value'");
  ASSERT_TRUE(reg.OpenKey("\\ZONES\\ALPHA", false));
  reg.WriteString("Value", "x");
  reg.WriteString("VALUE", "y");
  EXPECT_EQ(reg.GetValueNames(), (Names{"Value"}));
  EXPECT_EQ(reg.ReadString("value"), "y");
}

TEST_F(RegistryTest, SizesAndStringsFollowTheStoredData) {
  ASSERT_TRUE(reg.OpenKey("\\K", true));
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_EQ(reg.ReadString("Missing"), "");
  reg.WriteString("Text", "abc");
  EXPECT_EQ(reg.GetDataSize("Text"), 4);  // with the terminating zero
  EXPECT_EQ(reg.ReadString("text"), "abc");
  reg.WriteString("Empty", "");
  EXPECT_EQ(reg.GetDataSize("Empty"), 1);
  EXPECT_EQ(reg.ReadString("Empty"), "");
  const std::uint8_t bytes[3] = {1, 2, 3};
  reg.WriteBinaryData("Bin", bytes, 3);
  EXPECT_EQ(reg.GetDataSize("Bin"), 3);
  // Strings written by others may lack the zero, or carry more after it.
  Put("K", "NoZero", RegistryType::String, {'h', 'i'});
  Put("K", "Expand", RegistryType::ExpandString, {'%', 'X', '%', 0, 'j', 0});
  EXPECT_EQ(reg.ReadString("NoZero"), "hi");
  EXPECT_EQ(reg.ReadString("Expand"), "%X%");
  Put("K", "NoBytes", RegistryType::String, {});
  EXPECT_EQ(reg.ReadString("NoBytes"), "");
}

TEST_F(RegistryTest, ReadsOfTheWrongTypeRaise) {
  Put("K", "Dword", RegistryType::DWord, {1, 0, 0, 0});
  Put("K", "Bin", RegistryType::Binary, {1, 2, 3, 4, 5});
  Put("K", "Str", RegistryType::String, {'a', 0});
  Put("K", "Raw", RegistryType::None, {9});
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\K"));
  EXPECT_EQ(RegistryError([&] { reg.ReadString("Dword"); }), "Invalid data type for 'Dword'");
  EXPECT_EQ(RegistryError([&] { reg.ReadString("Bin"); }), "Invalid data type for 'Bin'");

  std::uint8_t buffer[8] = {};
  EXPECT_EQ(RegistryError([&] { reg.ReadBinaryData("Str", buffer, 8); }),
            "Invalid data type for 'Str'");
  EXPECT_EQ(RegistryError([&] { reg.ReadBinaryData("Bin", buffer, 4); }),
            "Invalid data type for 'Bin'");
  EXPECT_EQ(buffer[0], 0);  // nothing copied on failure
  EXPECT_EQ(reg.ReadBinaryData("Bin", buffer, 5), 5);
  EXPECT_EQ(buffer[4], 5);
  EXPECT_EQ(reg.ReadBinaryData("Raw", buffer, 8), 1);
  EXPECT_EQ(buffer[0], 9);
  EXPECT_EQ(reg.ReadBinaryData("Missing", buffer, 8), 0);
}

TEST_F(RegistryTest, RefusedWritesRaise) {
  ASSERT_TRUE(reg.OpenKey("\\K", true));
  reg.WriteString("Kept", "old");
  ASSERT_TRUE(store.RefuseValueWrites(RegistryRoot::LocalMachine, "k", "Blocked"));
  EXPECT_EQ(RegistryError([&] { reg.WriteString("Blocked", "x"); }),
            "Failed to set data for 'Blocked'");
  const std::uint8_t byte = 1;
  EXPECT_EQ(RegistryError([&] { reg.WriteBinaryData("blocked", &byte, 1); }),
            "Failed to set data for 'blocked'");
  reg.WriteString("Kept", "new");  // other values of the key still take writes

  ASSERT_TRUE(store.DenyWriteAccess(RegistryRoot::LocalMachine, "K"));
  EXPECT_EQ(RegistryError([&] { reg.WriteString("Kept", "newer"); }),
            "Failed to set data for 'Kept'");
  EXPECT_FALSE(reg.OpenKey("\\K", false));
  EXPECT_FALSE(reg.OpenKey("\\K\\Child", true));
  EXPECT_TRUE(reg.OpenKeyReadOnly("\\K"));
  EXPECT_EQ(reg.ReadString("Kept"), "new");
  EXPECT_FALSE(reg.DeleteKey("\\K"));

  reg.CloseKey();
  EXPECT_EQ(RegistryError([&] { reg.WriteString("Any", "x"); }), "Failed to set data for 'Any'");
}

TEST_F(RegistryTest, MoveKeyCopiesValuesAndSubkeysRecursivelyThenDeletesTheOld) {
  Put("Old", "Str", RegistryType::String, {'s', 0});
  Put("Old", "Num", RegistryType::DWord, {7, 0, 0, 0});
  Put("Old", "", RegistryType::String, {'d', 0});  // the key's default value
  Put("Old\\Child", "Bin", RegistryType::Binary, {1, 2});
  Put("Old\\Child\\Grandchild", "Multi", RegistryType::MultiString, {'a', 0, 0});
  ASSERT_TRUE(store.CreateKey(RegistryRoot::LocalMachine, "Old\\Empty"));

  reg.MoveKey("\\Old", "\\Parent\\New", true);

  EXPECT_FALSE(reg.KeyExists("\\Old"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Parent\\New"));
  EXPECT_EQ(reg.GetValueNames(), (Names{"Str", "Num", ""}));
  EXPECT_EQ(reg.GetKeyNames(), (Names{"Child", "Empty"}));
  const RegistryValue num = Get("Parent\\New", "Num");
  EXPECT_EQ(num.type, RegistryType::DWord);
  EXPECT_EQ(num.data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
  EXPECT_EQ(Get("Parent\\New", "").data, (std::vector<std::uint8_t>{'d', 0}));
  EXPECT_EQ(Get("Parent\\New\\Child", "Bin").data, (std::vector<std::uint8_t>{1, 2}));
  const RegistryValue multi = Get("Parent\\New\\Child\\Grandchild", "Multi");
  EXPECT_EQ(multi.type, RegistryType::MultiString);
  EXPECT_EQ(multi.data.size(), 3u);
}

TEST_F(RegistryTest, MoveKeyDoesNothingWhenOldIsMissingOrNewExists) {
  Put("Old", "V", RegistryType::String, {'o', 0});
  Put("New", "V", RegistryType::String, {'n', 0});
  reg.MoveKey("\\Old", "\\New", true);
  EXPECT_EQ(Get("Old", "V").data, (std::vector<std::uint8_t>{'o', 0}));
  EXPECT_EQ(Get("New", "V").data, (std::vector<std::uint8_t>{'n', 0}));
  // A rename in letter case only finds the new key existing.
  reg.MoveKey("\\Old", "\\OLD", true);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\"));
  EXPECT_EQ(reg.GetKeyNames(), (Names{"New", "Old"}));
  reg.MoveKey("\\Missing", "\\Other", true);
  EXPECT_FALSE(reg.KeyExists("\\Other"));
  // Copy without deleting.
  reg.MoveKey("\\Old", "\\Copy", false);
  EXPECT_TRUE(reg.KeyExists("\\Old"));
  EXPECT_EQ(Get("Copy", "V").data, (std::vector<std::uint8_t>{'o', 0}));
}

TEST_F(RegistryTest, MoveKeyIntoItsOwnSubtreeRaisesAndChangesNothing) {
  Put("Old\\Sub", "V", RegistryType::String, {'o', 0});
  EXPECT_NE(RegistryError([&] { reg.MoveKey("\\Old", "\\old\\Sub\\New", true); }), "(no error)");
  EXPECT_FALSE(reg.KeyExists("\\Old\\Sub\\New"));
  EXPECT_EQ(Get("Old\\Sub", "V").data, (std::vector<std::uint8_t>{'o', 0}));
}

TEST_F(RegistryTest, MoveKeyFailuresRaiseAndKeepTheOldKey) {
  Put("Old", "V", RegistryType::String, {'o', 0});
  Put("Locked", "V", RegistryType::String, {'l', 0});
  ASSERT_TRUE(store.DenyWriteAccess(RegistryRoot::LocalMachine, "Locked"));
  EXPECT_NE(RegistryError([&] { reg.MoveKey("\\Old", "\\Locked\\New", true); }), "(no error)");
  EXPECT_TRUE(reg.KeyExists("\\Old"));
  // The copy succeeds but the old key cannot be deleted: both stay, and the caller hears it.
  EXPECT_EQ(RegistryError([&] { reg.MoveKey("\\Locked", "\\Moved", true); }),
            "Failed to delete key 'Locked'");
  EXPECT_TRUE(reg.KeyExists("\\Locked"));
  EXPECT_EQ(Get("Moved", "V").data, (std::vector<std::uint8_t>{'l', 0}));
}

TEST_F(RegistryTest, AKeyOpenWhileDeletedSeesNothingAndWritesNothing) {
  ASSERT_TRUE(reg.OpenKey("\\Gone\\Sub", true));
  reg.WriteString("V", "x");
  TRegistry other(store);
  other.SetRootKey(RegistryRoot::LocalMachine);
  EXPECT_TRUE(other.DeleteKey("\\Gone"));
  EXPECT_EQ(reg.GetDataSize("V"), -1);
  EXPECT_EQ(RegistryError([&] { reg.WriteString("V", "y"); }), "Failed to set data for 'V'");
  EXPECT_FALSE(other.KeyExists("\\Gone\\Sub"));
  EXPECT_FALSE(other.DeleteKey("\\Gone"));
}

TEST(RegistryBackendTest, ScopedBackendReplacesTheDefaultForItsLifetime) {
  IRegistryBackend& platform = DefaultRegistryBackend();
  MemoryRegistry store;
  {
    ScopedRegistryBackend scope(store);
    EXPECT_EQ(&DefaultRegistryBackend(), &store);
    TRegistry reg;
    reg.SetRootKey(RegistryRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKey("\\Scoped", true));
  }
  EXPECT_EQ(&DefaultRegistryBackend(), &platform);
  EXPECT_TRUE(store.OpenKey(RegistryRoot::CurrentUser, "Scoped", RegistryAccess::Read));
}

}  // namespace
