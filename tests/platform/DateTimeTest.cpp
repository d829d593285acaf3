#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/DateTime.h"
#include "platform/SysUtils.h"

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
