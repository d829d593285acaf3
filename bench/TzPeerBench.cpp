// Under Wine: our conversions against the platform's own on the same instants, and one Reload
// of the real zone catalogue.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "tests/tz/ZoneRules.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneCatalogue.h"

namespace {

// Best of several rounds, in nanoseconds per call.
template <typename Fn>
double NsPerCall(size_t calls, Fn fn) {
  double best = 1e30;
  for (int round = 0; round < 7; ++round) {
    const double start = BenchSeconds();
    fn();
    best = std::min(best, (BenchSeconds() - start) * 1e9 / static_cast<double>(calls));
  }
  return best;
}

volatile double g_sink;

}  // namespace

int main() {
  TIME_ZONE_INFORMATION zone = Berlin();
  std::vector<TDateTime> instants;
  std::vector<SYSTEMTIME> records;
  for (TDateTime t = EncodeDate(2024, 1, 1); t < EncodeDate(2025, 1, 1); t += 0.0371) {
    instants.push_back(RoundToMillisecond(t));
    records.push_back(DateTimeToSystemTime(instants.back()));
  }
  const size_t n = instants.size();

  const double oursToLocal = NsPerCall(n, [&] {
    double sum = 0;
    for (const TDateTime t : instants) sum += ZoneUTCToLocal(zone, t);
    g_sink = sum;
  });
  const double platformToLocal = NsPerCall(n, [&] {
    double sum = 0;
    SYSTEMTIME local;
    for (const SYSTEMTIME& t : records) {
      SystemTimeToTzSpecificLocalTime(AsWin32(&zone), AsWin32(&t), AsWin32(&local));
      sum += local.wHour;
    }
    g_sink = sum;
  });
  const double oursToUtc = NsPerCall(n, [&] {
    double sum = 0;
    for (const TDateTime t : instants) sum += ZoneLocalToUTC(zone, false, t);
    g_sink = sum;
  });
  const double platformToUtc = NsPerCall(n, [&] {
    double sum = 0;
    SYSTEMTIME utc;
    for (const SYSTEMTIME& t : records) {
      TzSpecificLocalTimeToSystemTime(AsWin32(&zone), AsWin32(&t), AsWin32(&utc));
      sum += utc.wHour;
    }
    g_sink = sum;
  });

  std::printf("BENCH wine_ZoneUTCToLocal %.1f ns\n", oursToLocal);
  std::printf("BENCH wine_SystemTimeToTzSpecificLocalTime %.1f ns\n", platformToLocal);
  std::printf("BENCH wine_utc_to_local_ratio %.2f x\n", platformToLocal / oursToLocal);
  std::printf("BENCH wine_ZoneLocalToUTC %.1f ns\n", oursToUtc);
  std::printf("BENCH wine_TzSpecificLocalTimeToSystemTime %.1f ns\n", platformToUtc);
  std::printf("BENCH wine_local_to_utc_ratio %.2f x\n", platformToUtc / oursToUtc);

  TKtRegistryTimeZones catalogue;
  std::vector<double> reloads;
  for (int i = 0; i < 15; ++i) {
    const double start = BenchSeconds();
    catalogue.Reload();
    reloads.push_back((BenchSeconds() - start) * 1e3);
  }
  std::printf("catalogue: %d zones, median of %zu reloads\n", catalogue.Count(), reloads.size());
  std::printf("BENCH wine_catalogue_reload %.2f ms\n", Median(reloads));
  return 0;
}
