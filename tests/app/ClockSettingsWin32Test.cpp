// The settings file on the platform's own private-profile functions and system colours.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "app/ClockSettings.h"
#include "platform/StrConvert.h"
#include "tests/app/TempFolderWin32.h"

namespace {

namespace fs = std::filesystem;

std::int32_t PlatformColorToRGB(std::int32_t color) {
  return ColorToRGBValue(color,
                         [](int index) { return static_cast<std::uint32_t>(GetSysColor(index)); });
}

TEST(ClockSettingsWin32, FirstRunFileByteForByteAndReadBack) {
  Win32TempFolder folder("dm-settings-first");
  const std::string file = SettingsFileName((folder.Path() / "Dialmoor.exe").string());
  ASSERT_EQ(fs::path(file).filename(), "Dialmoor.INI");
  EXPECT_EQ(LoadClockSettings(file, PlatformIniBackend()).Background, 0xFFFF00);
  SaveClockSettings(file, ClockSettings{}, PlatformColorToRGB, PlatformIniBackend());
  EXPECT_EQ(FileBytes(file),
            "[Settings]\r\nTop=20\r\nLeft=20\r\nOnTop=0\r\nHeading=0\r\nTitleBar=1\r\n"
            "Appearance=0\r\n[Colors]\r\nBackground=16776960\r\nText=0\r\n");
  const ClockSettings loaded = LoadClockSettings(file, PlatformIniBackend());
  EXPECT_EQ(loaded.Top, 20);
  EXPECT_EQ(loaded.Left, 20);
  EXPECT_FALSE(loaded.StayOnTop);
  EXPECT_TRUE(loaded.TitleBar);
  EXPECT_EQ(loaded.AppearanceCode, 0);
  EXPECT_EQ(loaded.Background, 0xFFFF00);
  EXPECT_EQ(loaded.Text, 0);
}

TEST(ClockSettingsWin32, EditedFileRoundTrip) {
  Win32TempFolder folder("dm-settings-edited");
  const std::string file = (folder.Path() / "clock.INI").string();
  std::ofstream(file, std::ios::binary)
      << "[Settings]\r\nTop=-5\r\nOnTop=2\r\nTitleBar=2\r\nAppearance=261\r\n"
         "[Colors]\r\nBackground=0x0000FF\r\nText=-2147483633\r\n";
  const ClockSettings loaded = LoadClockSettings(file, PlatformIniBackend());
  EXPECT_EQ(loaded.Top, -5);
  EXPECT_FALSE(loaded.StayOnTop);
  EXPECT_TRUE(loaded.TitleBar);
  EXPECT_EQ(loaded.AppearanceCode, 5);
  EXPECT_EQ(loaded.Background, 0x0000FF);
  EXPECT_EQ(loaded.Text, static_cast<std::int32_t>(0x8000000F));
  SaveClockSettings(file, loaded, PlatformColorToRGB, PlatformIniBackend());
  const std::string buttonFace = std::to_string(GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
  EXPECT_EQ(FileBytes(file),
            "[Settings]\r\nTop=-5\r\nOnTop=0\r\nTitleBar=1\r\nAppearance=5\r\nLeft=20\r\n"
            "Heading=0\r\n[Colors]\r\nBackground=255\r\nText=" +
                buttonFace + "\r\n");
}

TEST(ClockSettingsWin32, PathsLongerThanEightyCharactersNameTheRightFile) {
  Win32TempFolder folder("dm-settings-long");
  const fs::path deep = folder.Path() / std::string(60, 'd') / "Clock programs and more";
  fs::create_directories(deep);
  const std::string file = SettingsFileName((deep / "Dialmoor.exe").string());
  ASSERT_GT(file.size(), 80u);
  ClockSettings settings;
  settings.Left = 777;
  SaveClockSettings(file, settings, PlatformColorToRGB, PlatformIniBackend());
  EXPECT_TRUE(fs::exists(deep / "Dialmoor.INI"));
  EXPECT_EQ(LoadClockSettings(file, PlatformIniBackend()).Left, 777);
  // Nothing was written where the first 80 characters would lead.
  EXPECT_FALSE(fs::exists(file.substr(0, 80)));
}

TEST(ClockSettingsWin32, UnwritableLocationIsReportedAndTheCloseGoesOn) {
  Win32TempFolder folder("dm-settings-fail");
  const std::string file = (folder.Path() / "gone" / "clock.INI").string();
  std::string reported;
  EXPECT_FALSE(SaveClockSettingsOnClose(
      file, ClockSettings{}, PlatformColorToRGB,
      [&](const Exception& error) { reported = error.Message(); }, PlatformIniBackend()));
  EXPECT_EQ(reported, "Unable to write to " + file);
}

}  // namespace
