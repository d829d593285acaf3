#include <gtest/gtest.h>

#include "platform/FormatDateTime.h"
#include "platform/LocalePictures.h"

namespace {

const TDateTime kAfternoon = EncodeDateTime(2026, 12, 7, 14, 5, 9, 0);

// Converts a locale's date picture and formats the test date with it, as "c" would.
std::string ShortDate(std::string_view picture, char separator) {
  TFormatSettings s = DefaultFormatSettings();
  s.DateSeparator = separator;
  s.ShortDateFormat = ConvertLocaleDateFormat(picture, separator);
  return FormatDateTime("ddddd", kAfternoon, s);
}

std::string LongTime(std::string_view picture, char separator) {
  TFormatSettings s = DefaultFormatSettings();
  s.TimeSeparator = separator;
  s.LongTimeFormat = ConvertLocaleTimeFormat(picture, separator);
  return FormatDateTime("tt", kAfternoon, s);
}

TEST(LocalePictures, DatePicturesBecomePatternsWithTheSlashForTheSeparator) {
  EXPECT_EQ(ConvertLocaleDateFormat("M/d/yyyy", '/'), "m/d/yyyy");
  EXPECT_EQ(ConvertLocaleDateFormat("dd.MM.yyyy", '.'), "dd/mm/yyyy");
  EXPECT_EQ(ConvertLocaleDateFormat("yyyy-MM-dd", '-'), "yyyy/mm/dd");
  EXPECT_EQ(ConvertLocaleDateFormat("yy/M/d", '/'), "yy/m/d");
  EXPECT_EQ(ConvertLocaleDateFormat("d/M/y", '/'), "d/m/yy");
}

TEST(LocalePictures, ConvertedDatesFormatAsTheLocaleShowsThem) {
  EXPECT_EQ(ShortDate("M/d/yyyy", '/'), "12/7/2026");
  EXPECT_EQ(ShortDate("dd.MM.yyyy", '.'), "07.12.2026");
  EXPECT_EQ(ShortDate("dd MMM yyyy", '/'), "07 Dec 2026");
  EXPECT_EQ(ShortDate("dddd, MMMM d", '/'), "Monday, December 7");
  // Letters in quoted text, and pattern letters outside quotes that the picture takes
  // literally, stay text.
  EXPECT_EQ(ShortDate("d 'de' MMMM 'de' yyyy", '/'), "7 de December de 2026");
  EXPECT_EQ(ShortDate("yyyy'年'M'月'd'日'", '/'), "2026年12月7日");
  EXPECT_EQ(ShortDate("'It''s' d", '/'), "It's 7");
  EXPECT_EQ(ShortDate("ggyyyy/MM/dd", '/'), "2026/12/07");
}

TEST(LocalePictures, TimePicturesKeepTheirClock) {
  EXPECT_EQ(ConvertLocaleTimeFormat("HH:mm:ss", ':'), "hh:nn:ss");
  EXPECT_EQ(ConvertLocaleTimeFormat("h:mm:ss tt", ':'), "h:nn:ss AMPM");
  EXPECT_EQ(LongTime("HH:mm:ss", ':'), "14:05:09");
  EXPECT_EQ(LongTime("H:mm", ':'), "14:05");
  EXPECT_EQ(LongTime("h:mm:ss tt", ':'), "2:05:09 PM");
  EXPECT_EQ(LongTime("tt hh:mm:ss", ':'), "PM 02:05:09");
  EXPECT_EQ(LongTime("HH.mm.ss", '.'), "14.05.09");
  EXPECT_EQ(LongTime("HH'h'mm", ':'), "14h05");
  // A 12-hour picture without a marker still needs one to stay a 12-hour clock.
  EXPECT_EQ(LongTime("h:mm", ':'), "2:05 PM");
}

}  // namespace
