#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/IniFileMemory.h"

namespace {

const std::string kFile = "C:\\Clock\\clock.INI";

class IniFileTest : public ::testing::Test {
 protected:
  MemoryIniStore store;
  TIniFile ini{kFile, store};
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(ini.ReadString("Settings", "Top", "dflt"), "dflt");
  store.SetText(kFile, "[Other]\r\nTop=1\r\n[Settings]\r\nLeft=2\r\n");
  EXPECT_EQ(ini.ReadString("Settings", "Top", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Missing", "Left", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Settings", "Left", "dflt"), "2");
}

TEST_F(IniFileTest, ReadsLikeThePrivateProfileFunctions) {
  store.SetText(kFile,
                "; comment\n[ settings ]\nTOP = 12 \n  Left=\t-7\nName=\"quoted\"\n"
                "Single='x'\nHalf=\"open\nEmpty=\nTop=99\n");
  EXPECT_EQ(ini.ReadString("Settings", "top", ""), "12");  // the first of two keys wins
  EXPECT_EQ(ini.ReadString("SETTINGS", "left", ""), "-7");
  EXPECT_EQ(ini.ReadString("Settings", "Name", ""), "quoted");
  EXPECT_EQ(ini.ReadString("Settings", "Single", ""), "x");
  EXPECT_EQ(ini.ReadString("Settings", "Half", ""), "\"open");
  EXPECT_EQ(ini.ReadString("Settings", "Empty", "dflt"), "");
}

TEST_F(IniFileTest, IntegersAndBooleans) {
  store.SetText(kFile,
                "[S]\nDec=-5\nDollar=$10\nHex=0x0000FF\nShort=0x\nBad=12abc\nEmpty=\n"
                "Big=2147483648\nTwo=2\nZero=0\n");
  EXPECT_EQ(ini.ReadInteger("S", "Dec", 1), -5);
  EXPECT_EQ(ini.ReadInteger("S", "Dollar", 1), 16);
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 1), 255);
  EXPECT_EQ(ini.ReadInteger("S", "Short", 1), 1);
  EXPECT_EQ(ini.ReadInteger("S", "Bad", 1), 1);
  EXPECT_EQ(ini.ReadInteger("S", "Empty", 1), 1);
  EXPECT_EQ(ini.ReadInteger("S", "Big", 1), 1);
  EXPECT_EQ(ini.ReadInteger("S", "Missing", 1), 1);
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Bad", true));
  EXPECT_FALSE(ini.ReadBool("S", "Bad", false));
}

TEST_F(IniFileTest, WritesReplaceInPlaceAndAddKeysAndSections) {
  store.SetText(kFile, "[Colors]\r\nText=5\r\n\r\n[Mine]\r\nkeep=me\r\n");
  ini.WriteInteger("colors", "TEXT", -1);
  ini.WriteInteger("Colors", "Background", 255);
  ini.WriteBool("Settings", "TitleBar", true);
  ini.WriteBool("Settings", "OnTop", false);
  EXPECT_EQ(store.Text(kFile),
            "[Colors]\r\nText=-1\r\nBackground=255\r\n\r\n[Mine]\r\nkeep=me\r\n"
            "[Settings]\r\nTitleBar=1\r\nOnTop=0\r\n");
}

TEST_F(IniFileTest, FailedWriteRaisesWithTheFileNameAndChangesNothing) {
  store.SetText(kFile, "[S]\r\nA=1\r\n");
  store.RefuseWrites(1);
  ini.WriteString("S", "A", "2");
  try {
    ini.WriteString("S", "B", "3");
    FAIL() << "no error";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to C:\\Clock\\clock.INI");
    EXPECT_TRUE(error.InheritsFrom("Exception"));
    EXPECT_STREQ(error.ClassName(), "EIniFileException");
  }
  EXPECT_EQ(store.Text(kFile), "[S]\r\nA=2\r\n");
  store.AllowWrites();
  ini.WriteString("S", "B", "3");
  EXPECT_EQ(ini.ReadString("S", "B", ""), "3");
}

TEST_F(IniFileTest, DefaultBackendCanBeReplacedForATest) {
  {
    ScopedIniBackend scoped(store);
    TIniFile viaDefault(kFile);
    viaDefault.WriteString("S", "K", "v");
  }
  EXPECT_EQ(ini.ReadString("S", "K", ""), "v");
  EXPECT_NE(&DefaultIniBackend(), &store);
}

}  // namespace
