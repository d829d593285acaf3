#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/SysUtils.h"
#include "tests/tz/FakeTimeServices.h"
#include "tests/tz/ZoneRules.h"
#include "tz/KtTimezone.h"
#include "tz/VmoDates.h"

namespace {

constexpr double kMs = 1.0 / MSecsPerDay;

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
  return EncodeDateTime(y, m, d, h, n, s, ms);
}

// Compares two instants to the millisecond and prints them readably on failure.
::testing::AssertionResult SameInstant(TDateTime expected, TDateTime actual) {
  if (std::fabs(expected - actual) < 0.5 * kMs) return ::testing::AssertionSuccess();
  auto text = [](TDateTime t) {
    DecodedDateTime d;
    if (t == 0) return std::string("0");
    if (!TryDecodeDateTime(t, d)) return Format("%g", t);
    return Format("%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                  d.second, d.millisecond);
  };
  return ::testing::AssertionFailure() << "expected " << text(expected) << ", got " << text(actual);
}

// Central Europe with the clocks going back in spring: daylight offset 0 is larger than the
// standard offset -60, so the overlap lies at the daylight start and the gap at the standard start.
TIME_ZONE_INFORMATION NegativeDaylight() {
  return Zone(-60, Rule(10, 0, 5, 2), Rule(3, 0, 5, 2), 0, 60);
}

}  // namespace

TEST(VmoDates, CalendarHelpers) {
  EXPECT_FALSE(YearIsLeap(1900));
  EXPECT_TRUE(YearIsLeap(2000));
  EXPECT_FALSE(YearIsLeap(2023));
  EXPECT_TRUE(YearIsLeap(2024));
  EXPECT_EQ(DaysInDateMonth(At(2023, 2, 14, 23, 59)), 28);
  EXPECT_EQ(DaysInDateMonth(At(2024, 2, 1)), 29);
  EXPECT_EQ(DaysInDateMonth(At(2024, 12, 31, 12)), 31);
  EXPECT_EQ(DaysInDateMonth(At(2024, 9, 3)), 30);
  EXPECT_EQ(DateYear(At(2024, 12, 31, 23, 59, 59, 999)), 2024);
  EXPECT_EQ(DateMonth(At(2024, 12, 31, 23, 59, 59, 999)), 12);
  EXPECT_TRUE(DateInLeapYear(At(2024, 7, 1)));
}

TEST(VmoDates, SystemCurrentBiasFollowsThePlatformAnswer) {
  FakeTimeServices fake;
  ScopedTimeServices scope(fake);
  fake.zone = Berlin();
  fake.local = SYSTEMTIME{2031, 5, 0, 4, 0, 0, 0, 0};
  EXPECT_EQ(CurrentYear(), 2031);
  fake.answer = TIME_ZONE_ID_STANDARD;
  fake.zone.StandardBias = 5;
  EXPECT_EQ(SystemCurrentBias(), -55);
  fake.answer = TIME_ZONE_ID_DAYLIGHT;
  EXPECT_EQ(SystemCurrentBias(), -120);
  fake.answer = TIME_ZONE_ID_UNKNOWN;
  EXPECT_EQ(SystemCurrentBias(), -60);
  // Without a zone from the platform the offset is UTC's, and stays so on every call (the
  // repeat loop of GetZoneUTCBias ends only then).
  fake.answer = TIME_ZONE_ID_INVALID;
  EXPECT_EQ(SystemCurrentBias(), 0);
  EXPECT_EQ(SystemCurrentBias(), 0);
}

TEST(Tolerance, MatchesWithinATenthOfAMillisecond) {
  const TDateTime t = At(2024, 3, 31, 2);
  EXPECT_TRUE(DateTimesMatch(t, t + 0.09 * kMs));
  EXPECT_TRUE(DateTimesMatch(t + 0.09 * kMs, t));
  EXPECT_FALSE(DateTimesMatch(t, t + 0.11 * kMs));
}

TEST(RoundToMillisecond, RoundsAndLeavesUndecodableValuesAlone) {
  const TDateTime t = At(2024, 6, 1, 10, 20, 30, 400);
  EXPECT_EQ(RoundToMillisecond(t + 0.3 * kMs), t);
  EXPECT_EQ(RoundToMillisecond(t + 0.7 * kMs), At(2024, 6, 1, 10, 20, 30, 401));
  EXPECT_EQ(RoundToMillisecond(At(2024, 6, 1) - 0.2 * kMs), At(2024, 6, 1));
  EXPECT_EQ(RoundToMillisecond(1e10), 1e10);
  EXPECT_TRUE(std::isnan(RoundToMillisecond(std::numeric_limits<double>::quiet_NaN())));
}

TEST(NthWeekdayOfMonth, FindsTheOccurrence) {
  EXPECT_EQ(NthWeekdayOfMonth(2024, 3, 5, 1), At(2024, 3, 31));  // last day is a Sunday
  EXPECT_EQ(NthWeekdayOfMonth(2024, 10, 1, 1), At(2024, 10, 6));
  EXPECT_EQ(NthWeekdayOfMonth(2024, 9, 1, 1), At(2024, 9, 1));  // the 1st is a Sunday
  EXPECT_EQ(NthWeekdayOfMonth(2024, 9, 4, 1), At(2024, 9, 22));
  EXPECT_EQ(NthWeekdayOfMonth(2024, 2, 5, 5), At(2024, 2, 29));  // last Thursday, leap year
  EXPECT_EQ(NthWeekdayOfMonth(2023, 2, 5, 3), At(2023, 2, 28));  // last Tuesday
  EXPECT_EQ(NthWeekdayOfMonth(2023, 2, 5, 2), At(2023, 2, 27));
  EXPECT_EQ(NthWeekdayOfMonth(2024, 3, 0, 1), 0);
  EXPECT_EQ(NthWeekdayOfMonth(2024, 3, 6, 1), 0);
  EXPECT_EQ(NthWeekdayOfMonth(2024, 13, 6, 1), 0);  // the occurrence is checked first
  EXPECT_THROW(NthWeekdayOfMonth(2024, 13, 1, 1), EConvertError);
  EXPECT_THROW(NthWeekdayOfMonth(2024, 0, 5, 1), EConvertError);
  EXPECT_THROW(NthWeekdayOfMonth(2024, 3, 4, 40), EConvertError);  // day past the month's end
  // A weekday above 7 (wDayOfWeek above 6) names no day, even one inside the month.
  EXPECT_THROW(NthWeekdayOfMonth(2024, 3, 2, 10), EConvertError);
  TIME_ZONE_INFORMATION badWeekday = Berlin();
  badWeekday.DaylightDate.wDayOfWeek = 9;
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  EXPECT_FALSE(GetTransitionsForYear(badWeekday, 2024, ds, ss, dOff, sOff));
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 11), ZoneLocalToUTC(badWeekday, false, At(2024, 7, 1, 12))));
}

TEST(TransitionDateForYear, RelativeAbsoluteAndUnused) {
  EXPECT_EQ(TransitionDateForYear(Rule(3, 0, 5, 2), 2024), At(2024, 3, 31, 2));
  EXPECT_EQ(TransitionDateForYear(Rule(0, 0, 5, 2), 2024), 0);
  // An absolute rule names the same moment whatever year is asked.
  const SYSTEMTIME absolute{2019, 4, 3, 7, 3, 30, 0, 0};
  EXPECT_EQ(TransitionDateForYear(absolute, 2024), At(2019, 4, 7, 3, 30));
  EXPECT_EQ(TransitionDateForYear(absolute, 1990), At(2019, 4, 7, 3, 30));
  // An occurrence outside 1..5 lands on day 0 plus the time of day.
  EXPECT_EQ(TransitionDateForYear(Rule(3, 0, 0, 2), 2024), EncodeTime(2, 0, 0, 0));
  EXPECT_EQ(TransitionDateForYear(Rule(3, 0, 7, 2), 2024), EncodeTime(2, 0, 0, 0));
  SYSTEMTIME badTime = Rule(3, 0, 5, 24);
  EXPECT_THROW(TransitionDateForYear(badTime, 2024), EConvertError);
  badTime = Rule(3, 0, 5, 2);
  badTime.wMilliseconds = 1000;
  EXPECT_THROW(TransitionDateForYear(badTime, 2024), EConvertError);
}

TEST(GetTransitionsForYear, ReportsStartsAndOffsets) {
  TDateTime ds = -1, ss = -1;
  std::int64_t dOff = 7, sOff = 7;
  ASSERT_TRUE(GetTransitionsForYear(Berlin(), 2024, ds, ss, dOff, sOff));
  EXPECT_EQ(ds, At(2024, 3, 31, 2));
  EXPECT_EQ(ss, At(2024, 10, 27, 3));
  EXPECT_EQ(dOff, -120);
  EXPECT_EQ(sOff, -60);

  ds = ss = -1;
  dOff = sOff = 7;
  EXPECT_FALSE(GetTransitionsForYear(Tokyo(), 2024, ds, ss, dOff, sOff));
  TIME_ZONE_INFORMATION oneSided = Berlin();
  oneSided.StandardDate.wMonth = 0;
  EXPECT_FALSE(GetTransitionsForYear(oneSided, 2024, ds, ss, dOff, sOff));
  EXPECT_EQ(ds, -1);
  EXPECT_EQ(dOff, 7);

  TIME_ZONE_INFORMATION weekdayZero = Berlin();
  weekdayZero.DaylightDate.wDay = 0;
  EXPECT_TRUE(GetTransitionsForYear(weekdayZero, 2024, ds, ss, dOff, sOff));
  EXPECT_EQ(ds, EncodeTime(2, 0, 0, 0));

  TIME_ZONE_INFORMATION broken = Berlin();
  broken.StandardDate.wMonth = 13;
  EXPECT_FALSE(GetTransitionsForYear(broken, 2024, ds, ss, dOff, sOff));
  EXPECT_FALSE(GetTransitionsForYear(Berlin(), 10000, ds, ss, dOff, sOff));

  // Offsets are summed without overflow whatever the record holds.
  TIME_ZONE_INFORMATION extreme = Berlin();
  extreme.Bias = std::numeric_limits<LONG>::max();
  extreme.DaylightBias = std::numeric_limits<LONG>::max();
  ASSERT_TRUE(GetTransitionsForYear(extreme, 2024, ds, ss, dOff, sOff));
  EXPECT_EQ(dOff, 2 * static_cast<std::int64_t>(std::numeric_limits<LONG>::max()));
}

TEST(GetTransitionsForYear, ThisYearUsesTheLocalDate) {
  FakeTimeServices fake;
  ScopedTimeServices scope(fake);
  fake.local = SYSTEMTIME{2027, 1, 5, 1, 0, 30, 0, 0};
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  ASSERT_TRUE(GetTransitionsThisYear(Berlin(), ds, ss, dOff, sOff));
  EXPECT_EQ(ds, At(2027, 3, 28, 2));
}

TEST(ZoneLocalToUTC, NorthernZone) {
  const auto z = Berlin();
  EXPECT_EQ(ZoneLocalToUTC(z, false, At(2024, 3, 31, 2, 30)), 0);
  EXPECT_EQ(ZoneLocalToUTC(z, true, At(2024, 3, 31, 2, 30)), 0);
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 0, 30), ZoneLocalToUTC(z, true, At(2024, 10, 27, 2, 30))));
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 1, 30), ZoneLocalToUTC(z, false, At(2024, 10, 27, 2, 30))));
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 10), ZoneLocalToUTC(z, false, At(2024, 7, 1, 12))));
  EXPECT_TRUE(SameInstant(At(2024, 12, 1, 11), ZoneLocalToUTC(z, true, At(2024, 12, 1, 12))));
}

TEST(ZoneLocalToUTC, SouthernZone) {
  const auto z = Sydney();
  EXPECT_TRUE(SameInstant(At(2024, 1, 15, 1), ZoneLocalToUTC(z, false, At(2024, 1, 15, 12))));
  EXPECT_TRUE(SameInstant(At(2024, 6, 15, 2), ZoneLocalToUTC(z, false, At(2024, 6, 15, 12))));
  EXPECT_TRUE(SameInstant(At(2024, 4, 6, 16, 30), ZoneLocalToUTC(z, false, At(2024, 4, 7, 2, 30))));
  EXPECT_TRUE(SameInstant(At(2024, 4, 6, 15, 30), ZoneLocalToUTC(z, true, At(2024, 4, 7, 2, 30))));
  EXPECT_EQ(ZoneLocalToUTC(z, false, At(2024, 10, 6, 2, 30)), 0);
}

TEST(ZoneLocalToUTC, GapBoundariesUseTheTolerance) {
  const auto z = Berlin();
  const TDateTime start = At(2024, 3, 31, 2);
  EXPECT_EQ(ZoneLocalToUTC(z, false, start), 0);
  EXPECT_EQ(ZoneLocalToUTC(z, false, start - 0.05 * kMs), 0);
  EXPECT_NE(ZoneLocalToUTC(z, false, start - 0.2 * kMs), 0);
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 0, 59, 59, 999), ZoneLocalToUTC(z, false, start - kMs)));
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 1), ZoneLocalToUTC(z, false, At(2024, 3, 31, 3))));
  EXPECT_EQ(ZoneLocalToUTC(z, false, At(2024, 3, 31, 3) - kMs), 0);
  // The overlap ends strictly at the standard start.
  const TDateTime end = At(2024, 10, 27, 3);
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 2), ZoneLocalToUTC(z, true, end)));
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 0), ZoneLocalToUTC(z, true, At(2024, 10, 27, 2))));
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 1), ZoneLocalToUTC(z, false, At(2024, 10, 27, 2))));
}

TEST(ZoneLocalToUTC, DaylightOffsetLargerThanStandard) {
  const auto z = NegativeDaylight();
  // Clocks go back at the daylight start (31 March 02:00 local) and forward at the standard start.
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 1, 30), ZoneLocalToUTC(z, true, At(2024, 3, 31, 1, 30))));
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 0, 30), ZoneLocalToUTC(z, false, At(2024, 3, 31, 1, 30))));
  EXPECT_EQ(ZoneLocalToUTC(z, false, At(2024, 10, 27, 2, 30)), 0);
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 12), ZoneLocalToUTC(z, false, At(2024, 7, 1, 12))));
  EXPECT_TRUE(SameInstant(At(2024, 12, 1, 11), ZoneLocalToUTC(z, false, At(2024, 12, 1, 12))));
}

TEST(ZoneLocalToUTC, ZonesWithoutUsableDaylightRulesUseThePlainBias) {
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 3), ZoneLocalToUTC(Tokyo(), false, At(2024, 7, 1, 12))));
  TIME_ZONE_INFORMATION broken = Berlin();
  broken.StandardDate.wHour = 25;
  broken.StandardBias = 15;  // never added on this path
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 13), ZoneLocalToUTC(broken, false, At(2024, 7, 1, 14))));
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 15), ZoneUTCToLocal(broken, At(2024, 7, 1, 14))));
  EXPECT_THROW(ZoneLocalToUTC(Berlin(), false, std::numeric_limits<double>::quiet_NaN()),
               EConvertError);
}

TEST(ZoneUTCToLocal, AppliesTheOffsetInForce) {
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 12), ZoneUTCToLocal(Berlin(), At(2024, 7, 1, 10))));
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 1, 59), ZoneUTCToLocal(Berlin(), At(2024, 3, 31, 0, 59))));
  EXPECT_TRUE(SameInstant(At(2024, 3, 31, 3), ZoneUTCToLocal(Berlin(), At(2024, 3, 31, 1))));
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 2, 59), ZoneUTCToLocal(Berlin(), At(2024, 10, 27, 0, 59))));
  EXPECT_TRUE(SameInstant(At(2024, 10, 27, 2), ZoneUTCToLocal(Berlin(), At(2024, 10, 27, 1))));
  EXPECT_TRUE(SameInstant(At(2024, 1, 15, 12), ZoneUTCToLocal(Sydney(), At(2024, 1, 15, 1))));
  EXPECT_TRUE(SameInstant(At(2024, 6, 15, 12), ZoneUTCToLocal(Sydney(), At(2024, 6, 15, 2))));
  // Across the new year the southern zone stays on daylight time.
  EXPECT_TRUE(SameInstant(At(2024, 1, 1, 5), ZoneUTCToLocal(Sydney(), At(2023, 12, 31, 18))));
  EXPECT_TRUE(SameInstant(At(2024, 7, 1, 3), ZoneUTCToLocal(Tokyo(), At(2024, 6, 30, 18))));
}

TEST(ZoneOffsetAtUTC, SwitchesExactlyAtTheTransitionInstant) {
  // Berlin's daylight time begins at 01:00 UTC on 31 March 2024 and ends at 01:00 UTC on 27 October.
  EXPECT_FALSE(ZoneOffsetAtUTC(Berlin(), At(2024, 3, 31, 0, 59, 59, 999)).daylight);
  EXPECT_TRUE(ZoneOffsetAtUTC(Berlin(), At(2024, 3, 31, 1)).daylight);
  EXPECT_EQ(ZoneOffsetAtUTC(Berlin(), At(2024, 3, 31, 1)).minutes, -120);
  EXPECT_TRUE(ZoneOffsetAtUTC(Berlin(), At(2024, 10, 27, 0, 59, 59, 999)).daylight);
  EXPECT_FALSE(ZoneOffsetAtUTC(Berlin(), At(2024, 10, 27, 1)).daylight);
  EXPECT_TRUE(ZoneOffsetAtUTC(Sydney(), At(2023, 12, 31, 23)).daylight);
  EXPECT_TRUE(ZoneOffsetAtUTC(Sydney(), At(2024, 1, 1, 1)).daylight);
  EXPECT_FALSE(ZoneOffsetAtUTC(Tokyo(), At(2024, 7, 1)).daylight);
  EXPECT_EQ(ZoneOffsetAtUTC(Tokyo(), At(2024, 7, 1)).minutes, -540);

  // Every transition instant of four decades, encoded to the millisecond, already has the new
  // offset, whatever rounding the boundary arithmetic meets.
  const TIME_ZONE_INFORMATION alaska = Zone(540, Rule(11, 0, 1, 2), Rule(3, 0, 2, 2));
  EXPECT_TRUE(SameInstant(At(2019, 11, 3, 1), ZoneUTCToLocal(alaska, At(2019, 11, 3, 10))));
  const TIME_ZONE_INFORMATION zones[] = {alaska, Berlin(), Sydney(), NewYork(),
                                         Zone(-570, Rule(4, 0, 1, 3), Rule(10, 0, 1, 2), 0, -30)};
  for (const auto& zone : zones)
    for (int year = 2000; year < 2040; ++year) {
      TDateTime ds, ss;
      std::int64_t dOff, sOff;
      ASSERT_TRUE(GetTransitionsForYear(zone, year, ds, ss, dOff, sOff));
      const TDateTime daylightStartUtc = RoundToMillisecond(ds + sOff / MinsPerDay);
      const TDateTime standardStartUtc = RoundToMillisecond(ss + dOff / MinsPerDay);
      ASSERT_TRUE(ZoneOffsetAtUTC(zone, daylightStartUtc).daylight) << year;
      ASSERT_FALSE(ZoneOffsetAtUTC(zone, standardStartUtc).daylight) << year;
      ASSERT_FALSE(ZoneOffsetAtUTC(zone, daylightStartUtc - kMs).daylight) << year;
      ASSERT_TRUE(ZoneOffsetAtUTC(zone, standardStartUtc - kMs).daylight) << year;
      // And on the local side the gap ends exactly where the wall clock resumes.
      const TDateTime gapEnd = RoundToMillisecond(ds + (sOff - dOff) / MinsPerDay);
      ASSERT_NE(ZoneLocalToUTC(zone, false, gapEnd), 0) << year;
      ASSERT_EQ(ZoneLocalToUTC(zone, false, gapEnd - kMs), 0) << year;
    }
}

// Every local time outside the gap converts to UTC and back to itself, and every UTC instant
// converts to a local time that one reading of the overlap turns back into the same instant.
TEST(Conversions, RoundTripOverSeveralYears) {
  const TIME_ZONE_INFORMATION zones[] = {Berlin(), Sydney(), NewYork(), NegativeDaylight(),
                                         Zone(-570, Rule(4, 0, 1, 3), Rule(10, 0, 1, 2), 0, -30)};
  const double step = 7.0 / MinsPerDay;
  for (const auto& zone : zones) {
    for (TDateTime t = At(2023, 1, 1); t < At(2026, 1, 1); t += step) {
      const TDateTime utc = ZoneLocalToUTC(zone, false, t);
      if (utc != 0) {
        ASSERT_TRUE(SameInstant(t, ZoneUTCToLocal(zone, utc)));
        ASSERT_TRUE(SameInstant(t, ZoneUTCToLocal(zone, ZoneLocalToUTC(zone, true, t))));
      }
      const TDateTime local = ZoneUTCToLocal(zone, t);
      const bool back = SameInstant(t, ZoneLocalToUTC(zone, false, local)) ||
                        SameInstant(t, ZoneLocalToUTC(zone, true, local));
      ASSERT_TRUE(back) << "bias " << zone.Bias;
    }
  }
}

TEST(GetZoneUTCBias, GivesTheOffsetInForceNow) {
  FakeTimeServices fake;
  ScopedTimeServices scope(fake);
  fake.SetUtc(At(2024, 7, 1, 12));
  EXPECT_EQ(GetZoneUTCBias(Berlin()), -120);
  EXPECT_EQ(GetZoneUTCBias(Sydney()), -600);
  EXPECT_EQ(GetZoneUTCBias(Tokyo()), -540);
  EXPECT_EQ(GetZoneUTCBias(Zone(570, Rule(0, 0, 0, 0), Rule(0, 0, 0, 0))), 570);
  fake.SetUtc(At(2024, 1, 1, 12));
  EXPECT_EQ(GetZoneUTCBias(Berlin()), -60);
  EXPECT_EQ(GetZoneUTCBias(Sydney()), -660);
}

TEST(GetZoneUTCBias, RepeatsWhileTheSystemSwitches) {
  FakeTimeServices fake;
  ScopedTimeServices scope(fake);
  fake.zone = Berlin();
  fake.answer = TIME_ZONE_ID_DAYLIGHT;
  fake.SetUtc(At(2024, 10, 27, 0, 59, 59));
  // The system switches to standard time between the first two reads, and the clock has moved on.
  fake.onZoneQuery = [](FakeTimeServices& f) {
    if (f.zoneCalls == 2) {
      f.answer = TIME_ZONE_ID_STANDARD;
      f.SetUtc(EncodeDateTime(2024, 10, 27, 1, 0, 1, 0));
    }
  };
  EXPECT_EQ(GetZoneUTCBias(Berlin()), -60);
  EXPECT_EQ(fake.zoneCalls, 4);
}

TEST(SystemLocalToUTC, UsesTheSystemZone) {
  FakeTimeServices fake;
  ScopedTimeServices scope(fake);
  fake.zone = Sydney();
  fake.answer = TIME_ZONE_ID_INVALID;  // the answer code is not looked at
  EXPECT_TRUE(SameInstant(At(2024, 1, 15, 1), SystemLocalToUTC(false, At(2024, 1, 15, 12))));
  EXPECT_EQ(SystemLocalToUTC(true, At(2024, 10, 6, 2, 30)), 0);
}

TEST(CompareSystemTimes, ComparesFieldsInRecordOrder) {
  const SYSTEMTIME a{0, 3, 0, 5, 2, 0, 0, 0};
  SYSTEMTIME b = a;
  EXPECT_EQ(CompareSystemTimes(a, b), 0);
  b.wDayOfWeek = 1;
  b.wDay = 1;  // the weekday decides before the day
  EXPECT_EQ(CompareSystemTimes(a, b), -1);
  EXPECT_EQ(CompareSystemTimes(b, a), 1);
  b = a;
  b.wMilliseconds = 0xFFFF;  // unsigned comparison
  EXPECT_EQ(CompareSystemTimes(a, b), -1);
}

TEST(SameZoneRules, ComparesEveryFieldAndTheNames) {
  TIME_ZONE_INFORMATION a = Berlin(), b = Berlin();
  const char16_t name[] = u"W. Europe Standard Time";
  for (size_t i = 0; name[i]; ++i) a.StandardName[i] = b.StandardName[i] = name[i];
  EXPECT_TRUE(SameZoneRules(a, b));
  b.StandardName[0] = u'w';
  EXPECT_FALSE(SameZoneRules(a, b));
  b = a;
  b.StandardName[30] = u'x';  // after the terminating zero: ignored
  EXPECT_TRUE(SameZoneRules(a, b));
  b = a;
  b.DaylightDate.wHour = 3;
  EXPECT_FALSE(SameZoneRules(a, b));
  b = a;
  b.DaylightBias = -30;
  EXPECT_FALSE(SameZoneRules(a, b));
  // A name that fills all 32 units without a zero is compared whole, never read past.
  for (auto& c : a.DaylightName) c = u'z';
  b = a;
  EXPECT_TRUE(SameZoneRules(a, b));
  EXPECT_EQ(ZoneNameText(a.DaylightName).size(), 32u);
}

TEST(InternetTime, BeatsAndBeatDays) {
  TDateTime day;
  EXPECT_EQ(DateTimeToInternetTime(At(2024, 1, 1, 11), day), 500);
  EXPECT_EQ(day, At(2024, 1, 1));
  EXPECT_EQ(DateTimeToInternetTime(At(2024, 1, 1, 23, 30), day), 21);
  EXPECT_EQ(day, At(2024, 1, 2));
  EXPECT_EQ(DateTimeToInternetTime(At(2024, 1, 1, 22, 59), day), 999);
  EXPECT_EQ(DateTimeToInternetTime(At(2024, 1, 1, 22, 59, 30), day), 1000);
  EXPECT_EQ(day, At(2024, 1, 1));
  EXPECT_EQ(DateTimeToInternetTime(At(2024, 1, 1, 23), day), 0);
  EXPECT_EQ(day, At(2024, 1, 2));
  EXPECT_THROW(DateTimeToInternetTime(std::numeric_limits<double>::infinity(), day),
               EConvertError);

  EXPECT_TRUE(SameInstant(At(2024, 1, 1, 11), InternetTimeToDateTime(500, At(2024, 1, 1))));
  EXPECT_TRUE(SameInstant(At(2023, 12, 31, 23), InternetTimeToDateTime(0, At(2024, 1, 1))));
  // The time of day of the beat day is ignored.
  EXPECT_TRUE(SameInstant(At(2024, 1, 1, 11), InternetTimeToDateTime(500, At(2024, 1, 1, 17))));
  // Exactly half a beat rounds to even, whichever way the value was put together.
  EXPECT_EQ(DateTimeToInternetTime(At(2026, 10, 25, 0, 30), day), 62);
  EXPECT_EQ(DateTimeToInternetTime(At(2026, 10, 25) + EncodeTime(0, 30, 0, 0), day), 62);
  for (int beats = 0; beats < 1000; ++beats) {
    const TDateTime utc = InternetTimeToDateTime(static_cast<std::uint16_t>(beats), At(2024, 5, 5));
    ASSERT_EQ(DateTimeToInternetTime(utc, day), beats);
    ASSERT_EQ(day, At(2024, 5, 5));
  }
}

TEST(BeforeTheEpoch, ConversionsCountTimeForwardFromTheDaysMidnight) {
  TDateTime day;
  EXPECT_EQ(DateTimeToInternetTime(At(1800, 6, 1, 12), day), 542);
  EXPECT_EQ(day, At(1800, 6, 1));
  EXPECT_EQ(DateTimeToInternetTime(At(1, 1, 1), day), 42);
  EXPECT_EQ(day, At(1, 1, 1));
  EXPECT_EQ(DateTimeToInternetTime(At(1899, 12, 29, 23, 30), day), 21);
  EXPECT_EQ(day, At(1899, 12, 30));
  EXPECT_TRUE(SameInstant(At(1800, 6, 1, 11), InternetTimeToDateTime(500, At(1800, 6, 1))));
  EXPECT_TRUE(SameInstant(At(1899, 12, 29, 23), InternetTimeToDateTime(0, At(1899, 12, 30))));

  EXPECT_TRUE(SameInstant(At(1850, 7, 1, 10), ZoneLocalToUTC(Berlin(), false, At(1850, 7, 1, 12))));
  EXPECT_TRUE(SameInstant(At(1850, 1, 1, 11), ZoneLocalToUTC(Berlin(), false, At(1850, 1, 1, 12))));
  EXPECT_EQ(ZoneLocalToUTC(Berlin(), false, At(1850, 3, 31, 2, 30)), 0);  // the gap
  EXPECT_TRUE(SameInstant(At(1899, 12, 29, 23, 30), ZoneUTCToLocal(Berlin(), At(1899, 12, 29, 22, 30))));
  EXPECT_TRUE(SameInstant(At(1899, 12, 30, 0, 30), ZoneUTCToLocal(Berlin(), At(1899, 12, 29, 23, 30))));
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  ASSERT_TRUE(GetTransitionsForYear(Berlin(), 1850, ds, ss, dOff, sOff));
  EXPECT_EQ(ds, At(1850, 3, 31, 2));
  EXPECT_EQ(TransitionDateForYear(Rule(3, 0, 5, 2), 1850), At(1850, 3, 31, 2));
  EXPECT_EQ(RoundToMillisecond(At(1850, 3, 31, 2) - 0.4 * kMs), At(1850, 3, 31, 2));
}
