// Under Wine: the start-up load of this program's own embedded configuration (options and
// debug information, from the block appended to the file), and what the debug information
// costs next to the code it describes. The program links the zone engine so that the tables
// describe a realistic amount of the program's own code.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "report/EModuleConfigWin32.h"
#include "tz/KtTimezone.h"

namespace {

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

volatile double g_sink;

}  // namespace

int main() {
  const HMODULE self = GetModuleHandleA(nullptr);
  // Exercises the zone engine so that its code is part of this program.
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  g_sink = ZoneUTCToLocal(zone, 45000.5);

  // The first load pays for reading the file; that is what start-up costs.
  double start = Seconds();
  auto record = LoadModuleConfig(self);
  const double first = (Seconds() - start) * 1000.0;
  if (!record || !record->DebugInfo) {
    std::fprintf(stderr, "bench_report_config: no embedded configuration\n");
    return 1;
  }
  double best = first;
  for (int round = 0; round < 20; ++round) {
    start = Seconds();
    auto again = LoadModuleConfig(self);
    best = std::min(best, (Seconds() - start) * 1000.0);
    g_sink = again ? again->BuildDate : 0;
  }

  const auto container = ReadModuleConfigContainer(self);
  const double code = static_cast<double>(record->DebugInfo->CodeSize());
  const double share = 100.0 * static_cast<double>(container->DebugInfoStoredSize) / code;
  std::printf("BENCH options_load %.3f ms\n", first);
  std::printf("BENCH options_load_warm %.3f ms\n", best);
  std::printf("BENCH debuginfo_share %.2f percent\n", share);
  std::printf("BENCH debuginfo_bytes %zu bytes\n", container->DebugInfoStoredSize);
  std::printf("BENCH debuginfo_code %.0f bytes\n", code);
  return 0;
}
