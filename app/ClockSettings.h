// The clock window's settings file: where it is, what it holds and how it is read and written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "platform/SysUtils.h"

// What the clock window keeps between runs; the defaults are a first run's.
struct ClockSettings {
  int Top = 20;
  int Left = 20;
  bool StayOnTop = false;
  bool HeadingFlag = false;
  // Only 0..4 name a panel style; any other code is kept and written back as it is.
  std::uint8_t AppearanceCode = 0;
  bool TitleBar = true;
  // 00BBGGRR, or a system colour (highest bit set), applied as read.
  std::int32_t Background = 0xFFFF00;
  std::int32_t Text = 0;
};

// The executable's full path with its extension replaced by ".INI" (".INI" appended when it
// has none). Never shortened: a shortened path would name another file.
std::string SettingsFileName(std::string_view exePath);

// Reads the keys in the order the clock window applies them. A missing or unreadable file, a
// missing key or a value that is not an integer gives that key's default; an empty file name
// (the program's path unknown) gives all defaults and reads no file.
ClockSettings LoadClockSettings(const std::string& fileName,
                                IIniBackend& backend = DefaultIniBackend());

// Turns a colour into the plain RGB value to store (system colours as they are now).
using ColorToRGBFunction = std::function<std::int32_t(std::int32_t color)>;

// Writes all eight keys in a fixed order, colours as plain RGB values. The first key that
// cannot be written stops the save with EIniFileException "Unable to write to %s" (the file
// name); the keys before it stay written. An empty file name writes nothing and raises the
// same error.
void SaveClockSettings(const std::string& fileName, const ClockSettings& settings,
                       const ColorToRGBFunction& colorToRGB,
                       IIniBackend& backend = DefaultIniBackend());

// The save as the clock window's close runs it: a failed save is handed to report (called
// inside the handler, so the error is the current exception) and gives false; the close goes
// on either way.
bool SaveClockSettingsOnClose(const std::string& fileName, const ClockSettings& settings,
                              const ColorToRGBFunction& colorToRGB,
                              const std::function<void(const Exception&)>& report,
                              IIniBackend& backend = DefaultIniBackend());
