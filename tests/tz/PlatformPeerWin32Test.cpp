// Under Wine: our conversions against the platform's SystemTimeToTzSpecificLocalTime and
// TzSpecificLocalTimeToSystemTime, for every zone of the real catalogue, on a sweep of instants
// over several years and on both sides of every transition.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/SysUtils.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneCatalogue.h"

namespace {

constexpr double kMinute = 1.0 / MinsPerDay;
constexpr int kFirstYear = 2019;
constexpr int kLastYear = 2027;

std::string Text(TDateTime t) {
  DecodedDateTime d;
  if (!TryDecodeDateTime(t, d)) return Format("%g", t);
  return Format("%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                d.second, d.millisecond);
}

bool SameMs(TDateTime a, TDateTime b) { return std::fabs(a - b) < 0.5 / MSecsPerDay; }

// Instants of a year, on the UTC or the local time scale: every 61 hours, and from two hours
// before to two hours after each transition.
std::vector<TDateTime> Sweep(const TIME_ZONE_INFORMATION& zone, int year, bool utcScale) {
  std::vector<TDateTime> instants;
  for (TDateTime t = EncodeDate(year, 1, 1) + 0.5 * kMinute; t < EncodeDate(year + 1, 1, 1);
       t += 61.0 / 24)
    instants.push_back(RoundToMillisecond(t));
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  if (GetTransitionsForYear(zone, year, ds, ss, dOff, sOff)) {
    const TDateTime marks[] = {utcScale ? ds + sOff * kMinute : ds,
                               utcScale ? ss + dOff * kMinute : ss};
    const double offsets[] = {-121, -61, -60, -59, -31, -1, -1.0 / 60, 0, 1.0 / 60, 1, 29, 59, 60, 61, 121};
    for (const TDateTime mark : marks)
      for (const double minutes : offsets) instants.push_back(RoundToMillisecond(mark + minutes * kMinute));
  }
  return instants;
}

class PlatformPeer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { catalogue_ = new TKtRegistryTimeZones(); }
  static void TearDownTestSuite() {
    delete catalogue_;
    catalogue_ = nullptr;
  }
  static TKtRegistryTimeZones* catalogue_;
};

TKtRegistryTimeZones* PlatformPeer::catalogue_ = nullptr;

}  // namespace

TEST_F(PlatformPeer, UtcToLocalAgreesForEveryZone) {
  ASSERT_GT(catalogue_->Count(), 100);
  int compared = 0;
  for (int i = 0; i < catalogue_->Count(); ++i) {
    const TKtRegistryTimeZone& zone = catalogue_->Items(i);
    TIME_ZONE_INFORMATION rule = zone.Rule();
    for (int year = kFirstYear; year <= kLastYear; ++year) {
      for (const TDateTime utc : Sweep(rule, year, true)) {
        const SYSTEMTIME in = DateTimeToSystemTime(utc);
        SYSTEMTIME out;
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(AsWin32(&rule), AsWin32(&in), AsWin32(&out))) << zone.KeyName();
        const TDateTime expected = SystemTimeToDateTime(out);
        const TDateTime ours = ZoneUTCToLocal(rule, utc);
        ASSERT_TRUE(SameMs(expected, ours))
            << zone.KeyName() << ": UTC " << Text(utc) << " gives " << Text(ours)
            << ", the platform " << Text(expected);
        ++compared;
      }
    }
  }
  std::printf("UTC to local: %d instants compared\n", compared);
}

TEST_F(PlatformPeer, LocalToUtcAgreesOutsideGapAndOverlap) {
  int compared = 0, skipped = 0;
  for (int i = 0; i < catalogue_->Count(); ++i) {
    const TKtRegistryTimeZone& zone = catalogue_->Items(i);
    TIME_ZONE_INFORMATION rule = zone.Rule();
    for (int year = kFirstYear; year <= kLastYear; ++year) {
      for (const TDateTime local : Sweep(rule, year, false)) {
        const TDateTime standardReading = ZoneLocalToUTC(rule, false, local);
        const TDateTime daylightReading = ZoneLocalToUTC(rule, true, local);
        // Gap and overlap are where the two sides may choose differently by design.
        if (standardReading == 0 || !SameMs(standardReading, daylightReading)) {
          ++skipped;
          continue;
        }
        const SYSTEMTIME in = DateTimeToSystemTime(local);
        SYSTEMTIME out;
        ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(AsWin32(&rule), AsWin32(&in), AsWin32(&out))) << zone.KeyName();
        const TDateTime expected = SystemTimeToDateTime(out);
        ASSERT_TRUE(SameMs(expected, standardReading))
            << zone.KeyName() << ": local " << Text(local) << " gives " << Text(standardReading)
            << ", the platform " << Text(expected);
        ++compared;
      }
    }
  }
  EXPECT_GT(skipped, 0);  // the sweep does reach the gaps and overlaps
  std::printf("local to UTC: %d instants compared, %d in gaps or overlaps\n", compared, skipped);
}

// Where the two differ by design: the platform has no value for "never occurs" and no choice
// between the two readings of a repeated hour.
TEST_F(PlatformPeer, GapsAndOverlaps) {
  int gapStandard = 0, gapDaylight = 0, gapOther = 0, overlapStandard = 0, overlapDaylight = 0,
      overlapOther = 0;
  for (int i = 0; i < catalogue_->Count(); ++i) {
    TIME_ZONE_INFORMATION rule = catalogue_->Items(i).Rule();
    for (int year = kFirstYear; year <= kLastYear; ++year) {
      TDateTime ds, ss;
      std::int64_t dOff, sOff;
      if (!GetTransitionsForYear(rule, year, ds, ss, dOff, sOff)) continue;
      for (const TDateTime local : Sweep(rule, year, false)) {
        const TDateTime standardReading = ZoneLocalToUTC(rule, false, local);
        const TDateTime daylightReading = ZoneLocalToUTC(rule, true, local);
        if (standardReading != 0 && SameMs(standardReading, daylightReading)) continue;
        const SYSTEMTIME in = DateTimeToSystemTime(local);
        SYSTEMTIME out;
        ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(AsWin32(&rule), AsWin32(&in), AsWin32(&out)));
        const TDateTime platform = SystemTimeToDateTime(out);
        if (standardReading == 0) {
          if (SameMs(platform, local + sOff * kMinute)) ++gapStandard;
          else if (SameMs(platform, local + dOff * kMinute)) ++gapDaylight;
          else ++gapOther;
        } else {
          if (SameMs(platform, standardReading)) ++overlapStandard;
          else if (SameMs(platform, daylightReading)) ++overlapDaylight;
          else ++overlapOther;
        }
      }
    }
  }
  std::printf("gap: platform reads %d as standard, %d as daylight, %d otherwise\n", gapStandard,
              gapDaylight, gapOther);
  std::printf("overlap: platform reads %d as standard, %d as daylight, %d otherwise\n",
              overlapStandard, overlapDaylight, overlapOther);
  // The platform reads both as daylight time: in the overlap that is our prefer-daylight
  // reading; in the gap it is an instant that the wall clock never shows, where we answer 0.
  EXPECT_GT(gapDaylight, 0);
  EXPECT_GT(overlapDaylight, 0);
  EXPECT_EQ(gapStandard + gapOther, 0);
  EXPECT_EQ(overlapStandard + overlapOther, 0);
}
