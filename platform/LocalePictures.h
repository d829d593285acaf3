// Turns the system's date and time pictures (LOCALE_SSHORTDATE, LOCALE_STIMEFORMAT: d M y g,
// h H m s t, quoted text) into the FormatDateTime language.
#pragma once

#include <string>
#include <string_view>

// The locale's date separator becomes "/", months "M".."MMMM" become "m".."mmmm", "y" becomes
// "yy", era marks "g" are dropped; other characters that the FormatDateTime language would
// read as tokens are quoted.
std::string ConvertLocaleDateFormat(std::string_view picture, char dateSeparator);
// The locale's time separator becomes ":", "H"/"h" hours become "h"/"hh" (12-hour pictures get
// an "AMPM" token in place of "t"/"tt"), minutes "m" become "n", seconds stay.
std::string ConvertLocaleTimeFormat(std::string_view picture, char timeSeparator);
