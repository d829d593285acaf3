#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/DateTime.h"
#include "platform/SysUtils.h"

namespace {
// A value re-encoded from its decoded parts: the form EncodeDate + EncodeTime give.
TDateTime RoundToEncoded(TDateTime value) {
  const DecodedDateTime d = DecodeDateTime(value);
  return EncodeDate(d.year, d.month, d.day) + EncodeTime(d.hour, d.minute, d.second, d.millisecond);
}
}  // namespace

TEST(DateTime, EncodesTheRuntimeDayNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(2024, 1, 1), 45292.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / MSecsPerDay);
}

TEST(DateTime, RejectsDatesAndTimesThatDoNotExist) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
  EXPECT_THROW(EncodeDate(2024, 0, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(10000, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  try {
    EncodeDate(2023, 2, 29);
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "EConvertError");
    EXPECT_TRUE(e.InheritsFrom("Exception"));
    EXPECT_FALSE(e.InheritsFrom("EAbort"));
  }
}

TEST(DateTime, DecodesEveryDayOfFourHundredYearsBackToItself) {
  // One full Gregorian cycle exercises every leap-year branch of the decoder.
  for (int year = 1900; year < 2300; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= DaysInAMonth(year, month); ++day) {
        const DecodedDateTime d = DecodeDateTime(EncodeDate(year, month, day));
        ASSERT_EQ(d.year, year);
        ASSERT_EQ(d.month, month);
        ASSERT_EQ(d.day, day);
      }
  const DecodedDateTime first = DecodeDateTime(EncodeDate(1, 1, 1));
  EXPECT_EQ(first.year, 1);
  EXPECT_EQ(first.dayOfWeek, 2);  // a Monday
  EXPECT_EQ(DecodeDateTime(EncodeDate(9999, 12, 31)).day, 31);
}

TEST(DateTime, YearOfAgreesWithTheFullDecodeAtEveryYearBoundary) {
  for (int year = 1; year <= 9999; ++year) {
    const TDateTime first = EncodeDate(year, 1, 1);
    const TDateTime last = EncodeDateTime(year, 12, 31, 23, 59, 59, 999);
    ASSERT_EQ(YearOf(first), year);
    ASSERT_EQ(YearOf(last), year);
    ASSERT_EQ(YearOf(last + 0.4 / MSecsPerDay), year);
  }
  EXPECT_THROW(YearOf(EncodeDate(9999, 12, 31) + 1), EConvertError);
  EXPECT_THROW(YearOf(EncodeDate(9999, 12, 31) + 1 - 0.4 / MSecsPerDay), EConvertError);  // rounds up
  EXPECT_THROW(YearOf(std::numeric_limits<double>::quiet_NaN()), EConvertError);
}

TEST(DateTime, WeekdaysCountFromSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);                          // 30 December 1899, a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 31)), 1);    // a Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 10, 6) + 0.99), 1);
}

TEST(DateTime, DecodingRoundsToTheNearestMillisecondHalvesToEven) {
  const TDateTime base = EncodeDate(2024, 1, 1);
  int h, n, s, ms;
  DecodeTime(base + 0.5 / MSecsPerDay * 0.999, h, n, s, ms);
  EXPECT_EQ(ms, 0);
  DecodeTime(base + 1.6 / MSecsPerDay, h, n, s, ms);
  EXPECT_EQ(ms, 2);
  // The last half millisecond of a day rounds into the next day.
  const DecodedDateTime d = DecodeDateTime(base + 1 - 0.4 / MSecsPerDay);
  EXPECT_EQ(d.day, 2);
  EXPECT_EQ(d.hour, 0);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.6), -3);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
  EXPECT_EQ(RoundHalfEven(2251799813685248.5), 2251799813685248.0);  // 2^51 + 0.5: a tie
  EXPECT_EQ(RoundHalfEven(2251799813685249.5), 2251799813685250.0);
  EXPECT_EQ(RoundHalfEven(-2251799813685249.5), -2251799813685250.0);
  EXPECT_EQ(RoundHalfEven(1e300), 1e300);
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(DateTime, ShiftMinutesLandsExactlyOnEncodedInstants) {
  // The sum a plain addition gives can miss the encoded instant by one unit in the last place;
  // the shifted value must equal it bit for bit, for every minute offset of a year's worth.
  const TDateTime base = EncodeDateTime(2019, 11, 3, 2, 0, 0, 0);
  for (int minutes = -1440 * 3; minutes <= 1440 * 400; minutes += 17) {
    const TDateTime expected = RoundToEncoded(base + minutes / MinsPerDay);
    ASSERT_EQ(ShiftMinutes(base, minutes), expected) << minutes;
  }
  EXPECT_EQ(ShiftMinutes(EncodeDateTime(2019, 11, 3, 2, 0, 0, 0), 480),
            EncodeDateTime(2019, 11, 3, 10, 0, 0, 0));
  EXPECT_EQ(ShiftMinutes(EncodeDate(2000, 1, 1), -1), EncodeDateTime(1999, 12, 31, 23, 59, 0, 0));
  EXPECT_EQ(ShiftMinutes(1e300, 5), 1e300);
}

TEST(DateTime, BeforeTheEpochTheFractionCountsForwardFromTheDay) {
  const TDateTime sixAm = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  EXPECT_EQ(sixAm, -1.25);
  const DecodedDateTime d = DecodeDateTime(-1.25);
  EXPECT_EQ(d.day, 29);
  EXPECT_EQ(d.hour, 6);
  EXPECT_EQ(DecodeDateTime(-0.5).day, 30);  // day 0 at noon, as 0.5
  EXPECT_EQ(YearOf(EncodeDateTime(1, 1, 1, 23, 0, 0, 0)), 1);
  EXPECT_EQ(DateTimeToDays(-1.25), -0.75);
  EXPECT_EQ(DaysToDateTime(-0.75), -1.25);
  EXPECT_EQ(DaysToDateTime(-2.0), -2.0);
  EXPECT_EQ(DaysToDateTime(DateTimeToDays(0.5)), 0.5);
  EXPECT_EQ(CombineDateTime(-2, 0.25), -2.25);
}

TEST(DateTime, RefusesValuesOutsideTheCalendar) {
  DecodedDateTime d;
  EXPECT_FALSE(TryDecodeDateTime(std::numeric_limits<double>::quiet_NaN(), d));
  EXPECT_FALSE(TryDecodeDateTime(std::numeric_limits<double>::infinity(), d));
  EXPECT_FALSE(TryDecodeDateTime(1e300, d));
  EXPECT_FALSE(TryDecodeDateTime(2958466.0, d));  // 1 January 10000
  EXPECT_THROW(DecodeDateTime(-1e20), EConvertError);
}

TEST(DateTime, ConvertsSystemTimeRecords) {
  SYSTEMTIME t{2024, 2, 0, 29, 13, 14, 15, 16};
  const TDateTime value = SystemTimeToDateTime(t);
  const SYSTEMTIME back = DateTimeToSystemTime(value);
  EXPECT_EQ(back.wYear, 2024);
  EXPECT_EQ(back.wDay, 29);
  EXPECT_EQ(back.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(back.wMilliseconds, 16);
}

TEST(Format, FormatsLikePrintf) {
  EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
  EXPECT_EQ(Format("%s", std::string(300, 'x').c_str()).size(), 300u);
}
