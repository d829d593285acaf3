// The process-wide date and time formatting settings, read from the system locale at first use
// and overwritable by the program (the clock sets its own long time format).
#pragma once

#include <array>
#include <string>

struct TFormatSettings {
  // Patterns in the FormatDateTime language (see FormatDateTime.h).
  std::string ShortDateFormat;
  std::string LongDateFormat;
  std::string ShortTimeFormat;
  std::string LongTimeFormat;
  // What "/" and ":" print; a zero character prints nothing.
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string TimeAMString;
  std::string TimePMString;
  // Index 0 is Sunday.
  std::array<std::string, 7> ShortDayNames;
  std::array<std::string, 7> LongDayNames;
  // Index 0 is January.
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
};

// English names and United States formats; also the host build's system settings.
TFormatSettings DefaultFormatSettings();

// The system's settings as the platform reports them (defined per platform).
TFormatSettings SystemFormatSettings();

// The process-wide record, filled from SystemFormatSettings() on first use. Only the GUI
// thread should change it.
TFormatSettings& FormatSettings();
