// The private-profile functions of the platform against the in-memory store that stands in for
// them on the host: same files, same calls, same results.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "platform/IniFileMemory.h"
#include "tests/app/TempFolderWin32.h"

namespace {

namespace fs = std::filesystem;

void PutFile(const std::string& fileName, const std::string& bytes) {
  std::ofstream(fileName, std::ios::binary) << bytes;
}

const std::string kSample =
    "; kept\r\n[ settings ]\r\nTOP = 12 \r\n  Left=\t-7\r\nName=\"quoted\"\r\nSingle='x'\r\n"
    "Half=\"open\r\nEmpty=\r\nTop=99\r\n\r\n[Colors]\r\nText=5\r\n";

TEST(IniFileWin32, ReadsAsTheMemoryStoreDoes) {
  Win32TempFolder folder("dm-ini-read");
  const std::string file = folder.File("sample.INI");
  PutFile(file, kSample);
  MemoryIniStore store;
  store.SetText(file, kSample);
  IIniBackend& platform = PlatformIniBackend();
  const std::vector<std::pair<std::string, std::string>> queries = {
      {"Settings", "Top"},    {"SETTINGS", "left"}, {"Settings", "Name"},
      {"Settings", "Single"}, {"Settings", "Half"}, {"Settings", "Empty"},
      {"Settings", "None"},   {"Colors", "text"},   {"Missing", "Top"}};
  for (const auto& [section, key] : queries)
    EXPECT_EQ(platform.ReadString(file, section, key, "dflt"),
              store.ReadString(file, section, key, "dflt"))
        << section << "/" << key;
  EXPECT_EQ(platform.ReadString(folder.File("none.INI"), "Settings", "Top", "dflt"), "dflt");
}

TEST(IniFileWin32, LongValuesAreReadWhole) {
  Win32TempFolder folder("dm-ini-long");
  const std::string file = folder.File("long.INI");
  const std::string value(5000, 'v');
  TIniFile ini(file, PlatformIniBackend());
  ini.WriteString("S", "K", value);
  EXPECT_EQ(ini.ReadString("S", "K", ""), value);
}

TEST(IniFileWin32, WritesGiveTheFileTheMemoryStoreGives) {
  Win32TempFolder folder("dm-ini-write");
  const std::string file = folder.File("write.INI");
  // No blank lines: Wine drops them when it rewrites a file, Windows keeps them.
  const std::string start = "[Colors]\r\nText=5\r\n[Mine]\r\nkeep=me\r\n";
  PutFile(file, start);
  MemoryIniStore store;
  store.SetText(file, start);
  const std::vector<std::vector<std::string>> writes = {{"colors", "TEXT", "-1"},
                                                        {"Colors", "Background", "255"},
                                                        {"Settings", "TitleBar", "1"},
                                                        {"Settings", "OnTop", "0"}};
  for (const auto& write : writes) {
    ASSERT_TRUE(PlatformIniBackend().WriteString(file, write[0], write[1], write[2]));
    ASSERT_TRUE(store.WriteString(file, write[0], write[1], write[2]));
    // Each write reaches the file at once.
    EXPECT_EQ(FileBytes(file), store.Text(file)) << "after " << write[1];
  }
}

TEST(IniFileWin32, NewFileIsCreatedByTheFirstWrite) {
  Win32TempFolder folder("dm-ini-new");
  const std::string file = folder.File("new.INI");
  TIniFile ini(file, PlatformIniBackend());
  ini.WriteInteger("Settings", "Top", -5);
  ini.WriteBool("Colors", "Flag", true);
  EXPECT_EQ(FileBytes(file), "[Settings]\r\nTop=-5\r\n[Colors]\r\nFlag=1\r\n");
  EXPECT_EQ(ini.ReadInteger("Settings", "Top", 0), -5);
}

TEST(IniFileWin32, WriteIntoAMissingFolderRaises) {
  Win32TempFolder folder("dm-ini-fail");
  const std::string file = folder.File("no such folder\\clock.INI");
  TIniFile ini(file, PlatformIniBackend());
  try {
    ini.WriteString("Settings", "Top", "20");
    FAIL() << "no error";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + file);
  }
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
