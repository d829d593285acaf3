#include "app/ClockSettings.h"

namespace {

constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kColors = "Colors";

}  // namespace

std::string SettingsFileName(std::string_view exePath) {
  const auto nameStart = exePath.find_last_of("\\/:");
  const auto dot = exePath.rfind('.');
  const bool hasExtension =
      dot != std::string_view::npos && (nameStart == std::string_view::npos || dot > nameStart);
  return std::string(hasExtension ? exePath.substr(0, dot) : exePath) + ".INI";
}

ClockSettings LoadClockSettings(const std::string& fileName, IIniBackend& backend) {
  const ClockSettings defaults;
  // No name (the program's path could not be read): the profile functions would take some
  // other file for it.
  if (fileName.empty()) return defaults;
  TIniFile ini(fileName, backend);
  ClockSettings settings;
  settings.Top = ini.ReadInteger(kSettings, "Top", defaults.Top);
  settings.Left = ini.ReadInteger(kSettings, "Left", defaults.Left);
  settings.StayOnTop = ini.ReadInteger(kSettings, "OnTop", 0) == 1;
  settings.HeadingFlag = ini.ReadInteger(kSettings, "Heading", 0) == 1;
  settings.Background = ini.ReadInteger(kColors, "Background", defaults.Background);
  settings.Text = ini.ReadInteger(kColors, "Text", defaults.Text);
  settings.AppearanceCode =
      static_cast<std::uint8_t>(ini.ReadInteger(kSettings, "Appearance", 0) & 0xFF);
  settings.TitleBar = ini.ReadBool(kSettings, "TitleBar", defaults.TitleBar);
  return settings;
}

void SaveClockSettings(const std::string& fileName, const ClockSettings& settings,
                       const ColorToRGBFunction& colorToRGB, IIniBackend& backend) {
  const std::int32_t background = colorToRGB(settings.Background);
  const std::int32_t text = colorToRGB(settings.Text);
  if (fileName.empty()) throw EIniFileException("Unable to write to the settings file: the program's path is unknown");
  TIniFile ini(fileName, backend);
  ini.WriteInteger(kSettings, "Top", settings.Top);
  ini.WriteInteger(kSettings, "Left", settings.Left);
  ini.WriteInteger(kSettings, "OnTop", settings.StayOnTop ? 1 : 0);
  ini.WriteInteger(kSettings, "Heading", settings.HeadingFlag ? 1 : 0);
  ini.WriteBool(kSettings, "TitleBar", settings.TitleBar);
  ini.WriteInteger(kSettings, "Appearance", settings.AppearanceCode);
  ini.WriteInteger(kColors, "Background", background);
  ini.WriteInteger(kColors, "Text", text);
}

bool SaveClockSettingsOnClose(const std::string& fileName, const ClockSettings& settings,
                              const ColorToRGBFunction& colorToRGB,
                              const std::function<void(const Exception&)>& report,
                              IIniBackend& backend) {
  try {
    SaveClockSettings(fileName, settings, colorToRGB, backend);
    return true;
  } catch (const Exception& error) {
    report(error);
    return false;
  }
}
