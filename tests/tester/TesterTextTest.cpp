#include <gtest/gtest.h>

#include "tester/TesterText.h"
#include "tz/KtTimezone.h"
#include "tests/tz/ZoneRules.h"

namespace {

TFormatSettings English() {
  TFormatSettings s = DefaultFormatSettings();
  s.ShortDateFormat = "m/d/yyyy";
  s.LongTimeFormat = "hh:mm:ss";
  s.DateSeparator = '/';
  s.TimeSeparator = ':';
  return s;
}

TDateTime At(int y, int m, int d, int h = 0, int n = 0) { return EncodeDateTime(y, m, d, h, n, 0, 0); }

template <size_t N>
void SetName(WCHAR (&field)[32], const char16_t (&text)[N]) {
  for (size_t i = 0; i < N; ++i) field[i] = text[i];
}

}  // namespace

TEST(TesterRows, GmtCaptions) {
  EXPECT_EQ(GmtCaption(0), "");
  EXPECT_EQ(GmtCaption(-330), "+05:30");
  EXPECT_EQ(GmtCaption(-345), "+05:45");
  EXPECT_EQ(GmtCaption(300), "-05:00");
  EXPECT_EQ(GmtCaption(720), "-12:00");
  EXPECT_EQ(GmtCaption(-14 * 60), "+14:00");
  // A hostile record cannot overflow the caption arithmetic.
  EXPECT_EQ(GmtCaption(INT32_MIN), "+35791394:08");
}

TEST(TesterRows, SortWestToEastThenByCaption) {
  EXPECT_LT(CompareZoneRows(300, "-05:00", -60, "+01:00"), 0);   // New York before Berlin
  EXPECT_GT(CompareZoneRows(-600, "+10:00", -60, "+01:00"), 0);
  EXPECT_EQ(CompareZoneRows(0, "", 0, ""), 0);
  // Equal offsets: an empty caption (a row just attached) sorts first.
  EXPECT_LT(CompareZoneRows(-60, "", -60, "+01:00"), 0);
  EXPECT_EQ(CompareZoneRows(-60, "+01:00", -60, "+01:00"), 0);
}

TEST(TesterRows, RowTextsAndDaylightState) {
  TIME_ZONE_INFORMATION system = Berlin();
  const ZoneRowTexts berlinSummer = ZoneRow(Berlin(), "W. Europe Standard Time", system, At(2024, 7, 1, 12));
  EXPECT_EQ(berlinSummer.gmt, "+01:00");
  EXPECT_EQ(berlinSummer.name, "W. Europe Standard Time");
  EXPECT_EQ(berlinSummer.home, "H");
  EXPECT_EQ(berlinSummer.standardBias, "-60");
  EXPECT_EQ(berlinSummer.daylightBias, "-120");
  EXPECT_EQ(berlinSummer.inDaylight, "Y");
  EXPECT_EQ(ZoneRow(Berlin(), "x", system, At(2024, 1, 15)).inDaylight, "N");

  const ZoneRowTexts sydneyJanuary = ZoneRow(Sydney(), "AUS Eastern Standard Time", system, At(2024, 1, 15));
  EXPECT_EQ(sydneyJanuary.home, "");
  EXPECT_EQ(sydneyJanuary.inDaylight, "Y");
  EXPECT_EQ(ZoneRow(Sydney(), "x", system, At(2024, 6, 15)).inDaylight, "N");

  const ZoneRowTexts tokyo = ZoneRow(Tokyo(), "Tokyo Standard Time", system, At(2024, 7, 1));
  EXPECT_EQ(tokyo.standardBias, "-540");
  EXPECT_EQ(tokyo.daylightBias, "-540");
  EXPECT_EQ(tokyo.inDaylight, "N");
}

TEST(TesterRows, DateTimeColumnIsEachZonesOwnLocalTime) {
  const TFormatSettings s = English();
  EXPECT_EQ(DateTimeColumnText(ZoneUTCToLocal(Berlin(), At(2024, 10, 27, 0, 30)), s), "2024.10.27 02:30");
  EXPECT_EQ(DateTimeColumnText(ZoneUTCToLocal(Berlin(), At(2024, 10, 27, 1, 30)), s), "2024.10.27 02:30");
  EXPECT_EQ(DateTimeColumnText(ZoneUTCToLocal(Sydney(), At(2024, 10, 27, 1, 30)), s), "2024.10.27 12:30");
  TFormatSettings dots = s;
  dots.TimeSeparator = '.';
  EXPECT_EQ(DateTimeColumnText(ZoneUTCToLocal(Tokyo(), At(2024, 12, 31, 15, 5)), dots), "2025.01.01 00.05");
}

TEST(TesterMemo, RuleTexts) {
  const TFormatSettings s = English();
  TIME_ZONE_INFORMATION z = Berlin();
  SetName(z.StandardName, u"W. Europe Standard Time");
  EXPECT_EQ(BiasLine(z.StandardName, -60), "W. Europe Standard Time, -60 minute bias");
  EXPECT_EQ(RuleStartLine(z.StandardDate, -120, s), "Starts on last Sunday of October at 01:00:00 GMT");
  EXPECT_EQ(RuleStartLine(z.DaylightDate, -60, s), "Starts on last Sunday of March at 01:00:00 GMT");
  EXPECT_EQ(GmtTimeText(Rule(10, 0, 1, 1), -660, s), "14:00:00");
  EXPECT_EQ(GmtTimeText(Rule(10, 0, 1, 23), 120, s), "01:00:00");
  EXPECT_EQ(ThisYearLine(At(2024, 10, 27, 3), s), "This year: 10/27/2024 03:00:00");
  EXPECT_EQ(ThisYearLine(At(2024, 10, 27), s), "This year: 10/27/2024");
  EXPECT_EQ(AbsoluteDateLine(SYSTEMTIME{2019, 4, 0, 7, 3, 0, 0, 0}, -600, s),
            "Absolute date: 4/6/2019 17:00:00");
  // Values outside the name tables are shown by number instead of read past a table.
  EXPECT_EQ(RuleStartLine(SYSTEMTIME{0, 13, 9, 6, 2, 0, 0, 0}, 0, s),
            "Starts on week 6 weekday 9 of month 13 at 02:00:00 GMT");
}

TEST(TesterMemo, StatusText) {
  TIME_ZONE_INFORMATION z = Berlin();
  SetName(z.StandardName, u"W. Europe Standard Time");
  SetName(z.DaylightName, u"W. Europe Daylight Time");
  EXPECT_EQ(ZoneStatusText(z, "key", true, true), "W. Europe Daylight Time");
  EXPECT_EQ(ZoneStatusText(z, "key", true, false), "W. Europe Standard Time");
  EXPECT_EQ(ZoneStatusText(z, "key", false, true), "key");
  z.DaylightName[0] = 0;
  EXPECT_EQ(ZoneStatusText(z, "key", true, true), "key");
}
