#include <gtest/gtest.h>

#include <vector>

#include "app/ClockSettings.h"
#include "platform/IniFileMemory.h"

namespace {

const std::string kFile = "C:\\Program Files\\Dialmoor\\Dialmoor.INI";

// Passes every call on to a memory store and notes "section/key" in call order.
class RecordingIni final : public IIniBackend {
 public:
  std::string ReadString(const std::string& fileName, std::string_view section,
                         std::string_view key, std::string_view defaultValue) override {
    reads.push_back(std::string(section) + "/" + std::string(key));
    return store.ReadString(fileName, section, key, defaultValue);
  }
  bool WriteString(const std::string& fileName, std::string_view section, std::string_view key,
                   std::string_view value) override {
    writes.push_back(std::string(section) + "/" + std::string(key));
    return store.WriteString(fileName, section, key, value);
  }
  MemoryIniStore store;
  std::vector<std::string> reads, writes;
};

std::int32_t NoSystemColours(std::int32_t color) {
  EXPECT_GE(color, 0) << "unexpected system colour";
  return color & 0xFFFFFF;
}

ClockSettings LoadFrom(std::string_view text) {
  MemoryIniStore store;
  store.SetText(kFile, text);
  return LoadClockSettings(kFile, store);
}

std::string SavedText(const ClockSettings& settings) {
  MemoryIniStore store;
  SaveClockSettings(kFile, settings, NoSystemColours, store);
  return store.Text(kFile).value_or("<none>");
}

const std::string kFirstRunFile =
    "[Settings]\r\nTop=20\r\nLeft=20\r\nOnTop=0\r\nHeading=0\r\nTitleBar=1\r\nAppearance=0\r\n"
    "[Colors]\r\nBackground=16776960\r\nText=0\r\n";

TEST(SettingsFileName, ReplacesTheExtensionAndKeepsTheWholePath) {
  EXPECT_EQ(SettingsFileName("C:\\Tools\\clock.exe"), "C:\\Tools\\clock.INI");
  EXPECT_EQ(SettingsFileName("C:\\Tools\\clock.v2.exe"), "C:\\Tools\\clock.v2.INI");
  EXPECT_EQ(SettingsFileName("C:\\Tools.d\\clock"), "C:\\Tools.d\\clock.INI");
  EXPECT_EQ(SettingsFileName("/opt/tools.d/clock"), "/opt/tools.d/clock.INI");
  EXPECT_EQ(SettingsFileName("C:clock.exe"), "C:clock.INI");
  const std::string longFolder = "C:\\" + std::string(120, 'd') + "\\Sub folder\\";
  const std::string settings = SettingsFileName(longFolder + "Dialmoor.exe");
  EXPECT_EQ(settings, longFolder + "Dialmoor.INI");
  EXPECT_GT(settings.size(), 80u);
}

TEST(LoadClockSettings, FirstRunAndEmptyFileGiveTheDefaults) {
  MemoryIniStore empty;
  for (const ClockSettings& settings :
       {LoadClockSettings(kFile, empty), LoadFrom(""), LoadFrom("[Settings]\r\n[Colors]\r\n")}) {
    EXPECT_EQ(settings.Top, 20);
    EXPECT_EQ(settings.Left, 20);
    EXPECT_FALSE(settings.StayOnTop);
    EXPECT_FALSE(settings.HeadingFlag);
    EXPECT_EQ(settings.AppearanceCode, 0);
    EXPECT_TRUE(settings.TitleBar);
    EXPECT_EQ(settings.Background, 0xFFFF00);
    EXPECT_EQ(settings.Text, 0);
  }
}

TEST(LoadClockSettings, ReadsTheKeysInTheOrderTheWindowAppliesThem) {
  RecordingIni ini;
  LoadClockSettings(kFile, ini);
  EXPECT_EQ(ini.reads,
            (std::vector<std::string>{"Settings/Top", "Settings/Left", "Settings/OnTop",
                                      "Settings/Heading", "Colors/Background", "Colors/Text",
                                      "Settings/Appearance", "Settings/TitleBar"}));
  EXPECT_TRUE(ini.writes.empty());
}

TEST(LoadClockSettings, StoredValuesAndTheirEncodings) {
  const ClockSettings settings = LoadFrom(
      "[Settings]\nTop=-5\nLeft=$20\nOnTop=1\nHeading=1\nAppearance=3\nTitleBar=0\n"
      "[Colors]\nBackground=0x0000FF\nText=-2147483633\n");
  EXPECT_EQ(settings.Top, -5);
  EXPECT_EQ(settings.Left, 32);
  EXPECT_TRUE(settings.StayOnTop);
  EXPECT_TRUE(settings.HeadingFlag);
  EXPECT_EQ(settings.AppearanceCode, 3);
  EXPECT_FALSE(settings.TitleBar);
  EXPECT_EQ(settings.Background, 0x0000FF);
  EXPECT_EQ(settings.Text, static_cast<std::int32_t>(0x8000000F));
}

TEST(LoadClockSettings, FlagsCountOnlyForExactlyOneButTitleBarForAnyNonZero) {
  const ClockSettings two = LoadFrom("[Settings]\nOnTop=2\nHeading=-1\nTitleBar=2\n");
  EXPECT_FALSE(two.StayOnTop);
  EXPECT_FALSE(two.HeadingFlag);
  EXPECT_TRUE(two.TitleBar);
  EXPECT_TRUE(LoadFrom("[Settings]\nOnTop=$1\nHeading=0x01\n").StayOnTop);
  EXPECT_TRUE(LoadFrom("[Settings]\nTitleBar=-1\n").TitleBar);
}

TEST(LoadClockSettings, AppearanceKeepsTheLowEightBits) {
  EXPECT_EQ(LoadFrom("[Settings]\nAppearance=261\n").AppearanceCode, 5);
  EXPECT_EQ(LoadFrom("[Settings]\nAppearance=256\n").AppearanceCode, 0);
  EXPECT_EQ(LoadFrom("[Settings]\nAppearance=-1\n").AppearanceCode, 255);
  EXPECT_EQ(LoadFrom("[Settings]\nAppearance=$104\n").AppearanceCode, 4);
}

TEST(LoadClockSettings, GarbageAndOverflowGiveEachKeyItsOwnDefault) {
  const ClockSettings settings = LoadFrom(
      "[Settings]\nTop=abc\nLeft=99999999999\nOnTop=yes\nHeading=1.0\nAppearance=$\n"
      "TitleBar=false\n[Colors]\nBackground=#FF0000\nText=0x\n");
  EXPECT_EQ(settings.Top, 20);
  EXPECT_EQ(settings.Left, 20);
  EXPECT_FALSE(settings.StayOnTop);
  EXPECT_FALSE(settings.HeadingFlag);
  EXPECT_EQ(settings.AppearanceCode, 0);
  EXPECT_TRUE(settings.TitleBar);
  EXPECT_EQ(settings.Background, 0xFFFF00);
  EXPECT_EQ(settings.Text, 0);
}

TEST(SaveClockSettings, FirstRunFileHoldsTheEightKeysInOrder) {
  RecordingIni ini;
  SaveClockSettings(kFile, ClockSettings{}, NoSystemColours, ini);
  EXPECT_EQ(ini.writes,
            (std::vector<std::string>{"Settings/Top", "Settings/Left", "Settings/OnTop",
                                      "Settings/Heading", "Settings/TitleBar",
                                      "Settings/Appearance", "Colors/Background", "Colors/Text"}));
  EXPECT_EQ(ini.store.Text(kFile), kFirstRunFile);
}

TEST(SaveClockSettings, WrittenTexts) {
  ClockSettings settings;
  settings.Top = -5;
  settings.Left = 1900;
  settings.StayOnTop = true;
  settings.HeadingFlag = true;
  settings.TitleBar = false;
  settings.AppearanceCode = 255;
  settings.Background = 0x0000FF;
  settings.Text = 0x123456;
  EXPECT_EQ(SavedText(settings),
            "[Settings]\r\nTop=-5\r\nLeft=1900\r\nOnTop=1\r\nHeading=1\r\nTitleBar=0\r\n"
            "Appearance=255\r\n[Colors]\r\nBackground=255\r\nText=1193046\r\n");
}

TEST(SaveClockSettings, ValuesReadAreWrittenBackNormalised) {
  MemoryIniStore store;
  store.SetText(kFile,
                "[Settings]\r\nOnTop=2\r\nHeading=2\r\nTitleBar=2\r\nAppearance=261\r\n"
                "[Colors]\r\nBackground=0x0000FF\r\nText=$FF\r\n");
  SaveClockSettings(kFile, LoadClockSettings(kFile, store), NoSystemColours, store);
  EXPECT_EQ(store.Text(kFile),
            "[Settings]\r\nOnTop=0\r\nHeading=0\r\nTitleBar=1\r\nAppearance=5\r\n"
            "Top=20\r\nLeft=20\r\n[Colors]\r\nBackground=255\r\nText=255\r\n");
  store.SetText(kFile, "[Settings]\r\nAppearance=256\r\n");
  SaveClockSettings(kFile, LoadClockSettings(kFile, store), NoSystemColours, store);
  EXPECT_EQ(store.ReadString(kFile, "Settings", "Appearance", ""), "0");
}

TEST(SaveClockSettings, OnlyColorsSectionGetsTheSettingsAddedAndKeepsForeignLines) {
  MemoryIniStore store;
  store.SetText(kFile, "[Colors]\r\nBackground=65280\r\n; mine\r\nExtra=1\r\n");
  const ClockSettings loaded = LoadClockSettings(kFile, store);
  EXPECT_EQ(loaded.Top, 20);
  EXPECT_TRUE(loaded.TitleBar);
  EXPECT_EQ(loaded.Background, 65280);
  SaveClockSettings(kFile, loaded, NoSystemColours, store);
  EXPECT_EQ(store.Text(kFile),
            "[Colors]\r\nBackground=65280\r\n; mine\r\nExtra=1\r\nText=0\r\n"
            "[Settings]\r\nTop=20\r\nLeft=20\r\nOnTop=0\r\nHeading=0\r\nTitleBar=1\r\n"
            "Appearance=0\r\n");
}

TEST(SaveClockSettings, SystemColoursAreStoredAsTheirPresentRGB) {
  MemoryIniStore store;
  ClockSettings settings;
  settings.Background = static_cast<std::int32_t>(0x8000000F);
  settings.Text = static_cast<std::int32_t>(0xFF000008);
  std::vector<std::int32_t> asked;
  SaveClockSettings(
      kFile, settings,
      [&](std::int32_t color) {
        asked.push_back(color);
        return color < 0 ? 0xF0F0F0 : color;
      },
      store);
  EXPECT_EQ(asked, (std::vector<std::int32_t>{settings.Background, settings.Text}));
  EXPECT_EQ(store.ReadString(kFile, "Colors", "Background", ""), "15790320");
  EXPECT_EQ(store.ReadString(kFile, "Colors", "Text", ""), "15790320");
}

TEST(SaveClockSettings, FailedWriteStopsTheSaveAfterTheKeysBeforeIt) {
  MemoryIniStore store;
  store.RefuseWrites(3);
  try {
    SaveClockSettings(kFile, ClockSettings{}, NoSystemColours, store);
    FAIL() << "no error";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + kFile);
  }
  EXPECT_EQ(store.Text(kFile), "[Settings]\r\nTop=20\r\nLeft=20\r\nOnTop=0\r\n");
}

TEST(SaveClockSettingsOnClose, ReportsTheFailureAndLetsTheCloseGoOn) {
  MemoryIniStore store;
  store.RefuseWrites(6);
  std::vector<std::string> reported;
  bool wasCurrent = false;
  const bool saved = SaveClockSettingsOnClose(
      kFile, ClockSettings{}, NoSystemColours,
      [&](const Exception& error) {
        reported.push_back(error.Message());
        wasCurrent = std::current_exception() != nullptr;
      },
      store);
  EXPECT_FALSE(saved);
  EXPECT_EQ(reported, std::vector<std::string>{"Unable to write to " + kFile});
  EXPECT_TRUE(wasCurrent);
  EXPECT_EQ(store.ReadString(kFile, "Settings", "Appearance", "missing"), "0");
  EXPECT_EQ(store.ReadString(kFile, "Colors", "Background", "missing"), "missing");

  store.AllowWrites();
  EXPECT_TRUE(SaveClockSettingsOnClose(
      kFile, ClockSettings{}, NoSystemColours,
      [&](const Exception& error) { reported.push_back(error.Message()); }, store));
  EXPECT_EQ(reported.size(), 1u);
}

}  // namespace
