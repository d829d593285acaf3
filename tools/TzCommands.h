// The commands of the DialmoorTz console tool, independent of where the zones come from.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "platform/WinTypes.h"

struct TzZone {
  std::string keyName;
  std::string display;
  TIME_ZONE_INFORMATION rule;
};

// Runs one command (arguments without the program name) against the zones, in catalogue order.
// Results go to `out`, one per line; a usage error is one line on `err` and the result 2.
int RunTzCommand(const std::vector<std::string>& args, const std::vector<TzZone>& zones,
                 std::ostream& out, std::ostream& err);

// "yyyy-mm-ddThh:nn[:ss[.zzz]]"; nothing for any other text or a date or time that does not exist.
std::optional<TDateTime> ParseTzTime(std::string_view text);
// "yyyy-mm-dd"; nothing for any other text or a date that does not exist.
std::optional<TDateTime> ParseTzDate(std::string_view text);
// Why ParseTzTime or ParseTzDate refused a text: "malformed ..." for the wrong form, "no such
// date ..." or "no such time ..." for a well-formed text that names none.
std::string TzTimeError(std::string_view text);
std::string TzDateError(std::string_view text);
// "yyyy-mm-ddThh:nn:ss.zzz"; EConvertError for a value outside years 1..9999.
std::string FormatTzTime(TDateTime value);
std::string FormatTzDate(TDateTime value);

extern const char kTzUsage[];
