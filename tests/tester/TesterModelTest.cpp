#include <gtest/gtest.h>

#include <climits>

#include "tester/TesterModel.h"
#include "tests/tz/FakeTimeServices.h"
#include "tests/tz/ZoneRules.h"

namespace {

TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return EncodeDateTime(y, m, d, h, n, s, 0);
}

PanelFields LocalTime(TDateTime local, TDateTime shownUtc = 0) {
  PanelFields fields;
  fields.local = local;
  fields.utc = shownUtc;
  return fields;
}

}  // namespace

TEST(TesterModel, PickerValuesJoinDayAndTimeOfDay) {
  EXPECT_EQ(JoinPickerValues(At(2024, 7, 1, 23, 59), At(1899, 12, 30, 6)), At(2024, 7, 1, 6));
  // Before 1900 the time of day still counts forward from the day's midnight.
  EXPECT_EQ(JoinPickerValues(At(1800, 6, 1), At(1899, 12, 30, 12)), At(1800, 6, 1, 12));
}

TEST(TesterModel, LocalTimeOnceTwiceOrNever) {
  const PanelState summer = RecomputePanel(Berlin(), PanelSource::Local, LocalTime(At(2024, 7, 1, 12)));
  EXPECT_FALSE(summer.invalid);
  EXPECT_EQ(summer.firstUtc, At(2024, 7, 1, 10));
  EXPECT_FALSE(summer.secondUtc);
  EXPECT_FALSE(summer.local);

  const PanelState gap = RecomputePanel(Berlin(), PanelSource::Local, LocalTime(At(2024, 3, 31, 2, 30)));
  EXPECT_TRUE(gap.invalid);
  EXPECT_FALSE(gap.beats);

  // The overlap: standard reading first, unless the UTC row already shows the daylight one.
  const TDateTime overlap = At(2024, 10, 27, 2, 30);
  const PanelState fresh = RecomputePanel(Berlin(), PanelSource::Local, LocalTime(overlap));
  EXPECT_EQ(fresh.firstUtc, At(2024, 10, 27, 1, 30));
  ASSERT_TRUE(fresh.secondUtc);
  EXPECT_EQ(*fresh.secondUtc, At(2024, 10, 27, 0, 30));
  ASSERT_TRUE(fresh.beats);
  EXPECT_EQ(fresh.beats->first, 104);  // 02:30 in the beat zone
  ASSERT_TRUE(fresh.secondBeats);
  const PanelState kept =
      RecomputePanel(Berlin(), PanelSource::Local, LocalTime(overlap, At(2024, 10, 27, 0, 30)));
  EXPECT_EQ(kept.firstUtc, At(2024, 10, 27, 0, 30));
  EXPECT_EQ(*kept.secondUtc, At(2024, 10, 27, 1, 30));
}

TEST(TesterModel, UtcAndInternetTimeSources) {
  PanelFields fields;
  fields.utc = At(2024, 10, 27, 0, 30);
  const PanelState fromUtc = RecomputePanel(Berlin(), PanelSource::UTC, fields);
  ASSERT_TRUE(fromUtc.local);
  EXPECT_EQ(*fromUtc.local, At(2024, 10, 27, 2, 30));
  EXPECT_EQ(fromUtc.firstUtc, At(2024, 10, 27, 0, 30));  // the entered reading stays in the row
  EXPECT_TRUE(fromUtc.secondUtc);

  fields.beats = 500;
  fields.beatDay = At(2024, 1, 1, 17);
  const PanelState fromBeats = RecomputePanel(Berlin(), PanelSource::InternetTime, fields);
  ASSERT_TRUE(fromBeats.utc);
  EXPECT_EQ(*fromBeats.utc, At(2024, 1, 1, 11));
  EXPECT_EQ(*fromBeats.local, At(2024, 1, 1, 12));
  ASSERT_TRUE(fromBeats.beats);
  EXPECT_EQ(fromBeats.beats->first, 500);
  EXPECT_EQ(fromBeats.beats->second, At(2024, 1, 1));
}

TEST(TesterModel, HalfBeatRoundsAsTheEngineDoes) {
  // 00:30 UTC is exactly 62.5 beats; through the pickers' date and time it must stay 62.
  PanelFields fields;
  fields.utc = JoinPickerValues(At(2026, 10, 25), At(1899, 12, 30, 0, 30));
  const PanelState state = RecomputePanel(Tokyo(), PanelSource::UTC, fields);
  ASSERT_TRUE(state.beats);
  EXPECT_EQ(state.beats->first, 62);
}

TEST(TesterModel, HostileBiasCostsOnlyItsOwnValues) {
  TIME_ZONE_INFORMATION hostile = Tokyo();
  hostile.Bias = INT_MAX;
  const ZoneTime row = ZoneTimeAt(hostile, At(2024, 7, 1, 12));
  EXPECT_FALSE(row.shown);
  const ZoneTime berlin = ZoneTimeAt(Berlin(), At(2024, 7, 1, 12, 0, 30));
  EXPECT_TRUE(berlin.shown);
  EXPECT_TRUE(berlin.daylight);
  EXPECT_EQ(berlin.local, At(2024, 7, 1, 14, 0, 30));

  TIME_ZONE_INFORMATION eastmost = Tokyo();
  eastmost.Bias = INT_MIN;  // UTC some 4000 years before the local time
  EXPECT_TRUE(RecomputePanel(eastmost, PanelSource::Local, LocalTime(At(2024, 7, 1, 12))).invalid);
  PanelFields fields;
  fields.utc = At(2024, 7, 1, 12);
  const PanelState fromUtc = RecomputePanel(hostile, PanelSource::UTC, fields);
  EXPECT_TRUE(fromUtc.invalid);
  EXPECT_FALSE(fromUtc.local);
}

TEST(TesterModel, StartButtons) {
  FakeTimeServices clock;
  ScopedTimeServices scope(clock);
  clock.local = SYSTEMTIME{2024, 7, 1, 1, 12, 0, 0, 0};
  EXPECT_EQ(StartButtonLocal(Berlin(), StartButton::Standard), At(2024, 10, 27, 4));
  EXPECT_EQ(StartButtonLocal(Berlin(), StartButton::Daylight), At(2024, 3, 31, 2));
  EXPECT_FALSE(StartButtonLocal(Tokyo(), StartButton::Standard));
  // A weekday above 6 names no date: the zone has no daylight saving rule.
  TIME_ZONE_INFORMATION badWeekday = Berlin();
  badWeekday.DaylightDate.wDayOfWeek = 9;
  EXPECT_FALSE(StartButtonLocal(badWeekday, StartButton::Daylight));
}

TEST(TesterModel, ListOrderIsWhatSortingOnEachAttachGave) {
  // Berlin, New York, London, Paris, Reykjavik, Sydney, Rome.
  const std::vector<std::int32_t> biases = {-60, 300, 0, -60, 0, -600, -60};
  EXPECT_EQ(ZoneListOrder(biases), (std::vector<int>{1, 2, 4, 6, 3, 0, 5}));
  EXPECT_EQ(ZoneListOrder({INT_MIN, INT_MAX}), (std::vector<int>{1, 0}));
  EXPECT_TRUE(ZoneListOrder({}).empty());
}

TEST(TesterModel, SystemRowName) {
  TIME_ZONE_INFORMATION zone{};
  EXPECT_EQ(SystemZoneRowName(zone), "Local time");
  zone.DaylightName[0] = u'D';
  EXPECT_EQ(SystemZoneRowName(zone), "D");
  zone.StandardName[0] = u'S';
  EXPECT_EQ(SystemZoneRowName(zone), "S");
}
