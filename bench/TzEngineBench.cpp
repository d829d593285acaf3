// Host timings of the zone engine's conversions on a year of instants.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchReporter.h"
#include "tests/tz/ZoneRules.h"
#include "tz/KtTimezone.h"

namespace {

std::vector<TDateTime> Instants() {
  std::vector<TDateTime> values;
  for (TDateTime t = EncodeDate(2024, 1, 1); t < EncodeDate(2025, 1, 1); t += 0.37) values.push_back(t);
  return values;
}

template <typename Fn>
void RunOverInstants(benchmark::State& state, Fn fn) {
  const std::vector<TDateTime> values = Instants();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fn(values[i]));
    if (++i == values.size()) i = 0;
  }
}

void ZoneLocalToUTC_(benchmark::State& state) {
  const auto zone = Berlin();
  RunOverInstants(state, [&](TDateTime t) { return ZoneLocalToUTC(zone, false, t); });
}

void ZoneUTCToLocal_(benchmark::State& state) {
  const auto zone = Sydney();
  RunOverInstants(state, [&](TDateTime t) { return ZoneUTCToLocal(zone, t); });
}

void GetTransitionsForYear_(benchmark::State& state) {
  const auto zone = NewYork();
  int year = 1990;
  for (auto _ : state) {
    TDateTime ds, ss;
    std::int64_t d, s;
    benchmark::DoNotOptimize(GetTransitionsForYear(zone, year, ds, ss, d, s));
    benchmark::DoNotOptimize(ds);
    if (++year == 2090) year = 1990;
  }
}

void DateTimeToInternetTime_(benchmark::State& state) {
  RunOverInstants(state, [](TDateTime t) {
    TDateTime day;
    return DateTimeToInternetTime(t, day);
  });
}

}  // namespace

BENCHMARK(ZoneLocalToUTC_)->Name("host_ZoneLocalToUTC");
BENCHMARK(ZoneUTCToLocal_)->Name("host_ZoneUTCToLocal");
BENCHMARK(GetTransitionsForYear_)->Name("host_GetTransitionsForYear");
BENCHMARK(DateTimeToInternetTime_)->Name("host_DateTimeToInternetTime");

DM_BENCHMARK_MAIN()
