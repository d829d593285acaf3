#include <gtest/gtest.h>

#include <cmath>

#include "platform/SysUtils.h"
#include "platform/FormatDateTime.h"

namespace {

// Monday 7 December 2026, 14:05:09.007.
const TDateTime kAfternoon = EncodeDateTime(2026, 12, 7, 14, 5, 9, 7);

TFormatSettings Settings() {
  TFormatSettings s = DefaultFormatSettings();
  s.ShortDateFormat = "dd/mm/yyyy";
  s.LongTimeFormat = "hh:nn:ss";
  s.ShortTimeFormat = "hh:nn";
  s.LongDateFormat = "dddd d mmmm yyyy";
  return s;
}

std::string F(std::string_view format, TDateTime value = kAfternoon) {
  return FormatDateTime(format, value, Settings());
}

TEST(FormatDateTime, NumericTokensWithAndWithoutLeadingZeros) {
  EXPECT_EQ(F("yyyy yy m mm d dd"), "2026 26 12 12 7 07");
  EXPECT_EQ(F("h hh n nn s ss z zz zzz"), "14 14 5 05 9 09 7 07 007");
  const TDateTime march = EncodeDateTime(2005, 3, 4, 6, 7, 8, 123);
  EXPECT_EQ(F("m mm d dd yy h n s zzz", march), "3 03 4 04 05 6 7 8 123");
  EXPECT_EQ(F("yyyy", EncodeDate(33, 1, 1)), "0033");
  EXPECT_EQ(F("YYYY-MM-DD HH:NN:SS"), "2026-12-07 14:05:09");
}

TEST(FormatDateTime, NamesOfDaysAndMonths) {
  EXPECT_EQ(F("ddd dddd mmm mmmm"), "Mon Monday Dec December");
  EXPECT_EQ(F("dddd", EncodeDate(2026, 12, 6)), "Sunday");
  EXPECT_EQ(F("mmmm", EncodeDate(2026, 1, 31)), "January");
  EXPECT_EQ(F("ddddd"), "07/12/2026");
  EXPECT_EQ(F("dddddd"), "Monday 7 December 2026");
}

TEST(FormatDateTime, MonthLettersAfterAnHourTokenAreMinutes) {
  EXPECT_EQ(F("hh:mm:ss"), "14:05:09");
  EXPECT_EQ(F("h m"), "14 5");
  EXPECT_EQ(F("hh 'at' mm"), "14 at 05");
  EXPECT_EQ(F("mm hh mm"), "12 14 05");
  EXPECT_EQ(F("hh dd mm"), "14 07 12");
  EXPECT_EQ(F("yyyy.mm.dd hh:nn"), "2026.12.07 14:05");
}

TEST(FormatDateTime, SeparatorsComeFromTheSettings) {
  TFormatSettings s = Settings();
  s.DateSeparator = '.';
  s.TimeSeparator = '-';
  EXPECT_EQ(FormatDateTime("mm/dd/yyyy hh:mm:ss", kAfternoon, s), "12.07.2026 14-05-09");
  EXPECT_EQ(FormatDateTime("tt", kAfternoon, s), "14-05-09");
  s.DateSeparator = 0;
  EXPECT_EQ(FormatDateTime("dd/mm", kAfternoon, s), "0712");
}

TEST(FormatDateTime, QuotedTextIsCopied) {
  EXPECT_EQ(F("'hh:mm' \"dd/yy\""), "hh:mm dd/yy");
  EXPECT_EQ(F("yyyy\"'\"'\"'"), "2026'\"");
  EXPECT_EQ(F("dd 'unterminated mm"), "07 unterminated mm");
  EXPECT_EQ(F("dd-[x] #"), "07-[x] #");
}

TEST(FormatDateTime, CIsShortDateAndLongTimeWithoutAMidnightTime) {
  EXPECT_EQ(F("c"), "07/12/2026 14:05:09");
  EXPECT_EQ(F("c", EncodeDate(2026, 12, 7)), "07/12/2026");
  EXPECT_EQ(F("c", EncodeDateTime(2026, 12, 7, 0, 0, 0, 1)), "07/12/2026 00:00:00");
  EXPECT_EQ(F(""), "07/12/2026 14:05:09");
  EXPECT_EQ(F("'This year: 'c"), "This year: 07/12/2026 14:05:09");
}

TEST(FormatDateTime, TIsTheTimeFormatInForce) {
  TFormatSettings s = Settings();
  s.LongTimeFormat = "hh:mm:ss";  // what the clock sets: mm is minutes here
  EXPECT_EQ(FormatDateTime("tt", kAfternoon, s), "14:05:09");
  EXPECT_EQ(FormatDateTime("t", kAfternoon, s), "14:05");
  s.LongTimeFormat = "h:nn:ss AMPM";
  EXPECT_EQ(FormatDateTime("tt", kAfternoon, s), "2:05:09 PM");
}

TEST(FormatDateTime, TwelveHourClockWhenAnAmPmTokenFollows) {
  const TDateTime midnight = EncodeDateTime(2026, 1, 1, 0, 30, 0, 0);
  const TDateTime noon = EncodeDateTime(2026, 1, 1, 12, 0, 0, 0);
  EXPECT_EQ(F("h:nn am/pm"), "2:05 pm");
  EXPECT_EQ(F("hh:nn AM/PM"), "02:05 PM");
  EXPECT_EQ(F("h:nn AM/PM", midnight), "12:30 AM");
  EXPECT_EQ(F("h:nn Am/pM", noon), "12:00 pM");
  EXPECT_EQ(F("h a/p"), "2 p");
  EXPECT_EQ(F("h A/P", midnight), "12 A");
  EXPECT_EQ(F("h ampm"), "2 PM");
  // The search for a marker stops at the next hour token and skips quoted text.
  EXPECT_EQ(F("h h am/pm"), "14 2 pm");
  EXPECT_EQ(F("hh 'am/pm'"), "14 am/pm");
  EXPECT_EQ(F("hh ax"), "14 ax");
}

TEST(FormatDateTime, SelfReferringSettingsEnd) {
  TFormatSettings s = Settings();
  s.ShortDateFormat = "c";
  s.LongTimeFormat = "tt";
  EXPECT_LT(FormatDateTime("c", kAfternoon, s).size(), 4u);
  EXPECT_LT(FormatDateTime("'x'ddddd'y'tt", kAfternoon, s).size(), 6u);
}

TEST(FormatDateTime, TimesRoundToTheMillisecond) {
  // 23:59:59.9996 rounds to the next day's midnight.
  EXPECT_EQ(F("yyyy-mm-dd hh:nn:ss.zzz", EncodeDate(2026, 12, 7) + 86399.9996 / 86400),
            "2026-12-08 00:00:00.000");
}

TEST(FormatDateTime, ValuesThatAreNoDateRaise) {
  EXPECT_THROW(F("yyyy", std::nan("")), EConvertError);
  EXPECT_THROW(F("yyyy", 1e10), EConvertError);
  EXPECT_THROW(F("yyyy", INFINITY), EConvertError);
}

TEST(FormatDateTime, UsesTheProcessWideSettings) {
  TFormatSettings saved = FormatSettings();
  FormatSettings().LongTimeFormat = "hh:mm:ss";
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("tt", kAfternoon), "14.05.09");
  FormatSettings() = saved;
}

}  // namespace
