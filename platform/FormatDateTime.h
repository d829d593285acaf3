// Date and time formatting in the runtime's pattern language.
#pragma once

#include <string>
#include <string_view>

#include "platform/DateTime.h"
#include "platform/FormatSettings.h"

// Pattern tokens (letters in any case):
//   c      ShortDateFormat, then a blank and LongTimeFormat unless the time is exactly 00:00:00.000
//   d dd   day 1..31 / 01..31        ddd dddd  ShortDayNames / LongDayNames
//   ddddd  ShortDateFormat           dddddd    LongDateFormat
//   m mm   month 1..12 / 01..12      mmm mmmm  ShortMonthNames / LongMonthNames
//          m and mm are minutes when the letter token before them was h or hh
//   yy     year 00..99               yyyy      year 0001..9999
//   h hh   hour 0..23 / 00..23, or 1..12 when an am/pm token follows before the next h
//          or came earlier in the same pattern
//   n nn   minutes                   s ss      seconds
//   z zzz  milliseconds 0..999 / 000..999
//   t tt   ShortTimeFormat / LongTimeFormat
//   am/pm  "am" or "pm" in the case written; a/p: "a" or "p"; ampm: TimeAMString/TimePMString
//   /      DateSeparator             :         TimeSeparator
//   "xx" 'xx'  literal text; any other character stands for itself.
// An empty pattern means "c". Format settings nest at most two levels deep (a "c" inside the
// short date format prints nothing). A value that is not a valid date raises EConvertError.
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& settings);
// With the process-wide FormatSettings().
std::string FormatDateTime(std::string_view format, TDateTime value);
