// Under Wine: the start-up load of this program's own embedded configuration (options and
// debug information, from the block appended to the file), and what the debug information
// costs next to the code it describes. The program links the zone engine so that the tables
// describe a realistic amount of the program's own code.
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "bench/BenchClock.h"
#include "report/options/EConfigContainer.h"
#include "report/options/EModuleConfigWin32.h"
#include "tz/KtTimezone.h"

namespace {

volatile double g_sink;

}  // namespace

int main() {
  const HMODULE self = GetModuleHandleA(nullptr);
  // Exercises the zone engine so that its code is part of this program.
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(AsWin32(&zone));
  g_sink = ZoneUTCToLocal(zone, 45000.5);

  // The first load pays for reading the file; that is what start-up costs.
  double start = BenchSeconds();
  auto record = LoadModuleConfig(self);
  const double first = (BenchSeconds() - start) * 1000.0;
  if (!record || !record->DebugInfo) {
    std::fprintf(stderr, "bench_report_config: no embedded configuration\n");
    return 1;
  }
  double best = first;
  for (int round = 0; round < 20; ++round) {
    start = BenchSeconds();
    auto again = LoadModuleConfig(self);
    best = std::min(best, (BenchSeconds() - start) * 1000.0);
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

#ifdef DIALMOOR_EXE
  // The shipped program: its file read and its container loaded, as its start-up does.
  start = BenchSeconds();
  std::ifstream in(DIALMOOR_EXE, std::ios::binary | std::ios::ate);
  const auto fileSize = static_cast<std::uint64_t>(in.tellg());
  std::uint8_t tail[8] = {};
  in.seekg(static_cast<std::streamoff>(fileSize - sizeof tail));
  in.read(reinterpret_cast<char*>(tail), sizeof tail);
  const auto length = AppendedBlockLength(tail, fileSize);
  std::vector<std::uint8_t> block(length ? *length : 0);
  in.seekg(static_cast<std::streamoff>(fileSize - sizeof tail - block.size()));
  in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
  const TConfigContainer program = ReadConfigBlock(block);
  const double programLoad = (BenchSeconds() - start) * 1000.0;
  std::printf("BENCH dialmoor_options_load %.3f ms\n", programLoad);
  if (program.DebugInfo)
    std::printf("BENCH dialmoor_debuginfo_share %.2f percent\n",
                100.0 * static_cast<double>(program.DebugInfoStoredSize) /
                    static_cast<double>(program.DebugInfo->CodeSize()));
#endif
  return 0;
}
