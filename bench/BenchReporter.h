// Google Benchmark reporter that adds one "BENCH name value unit" line per benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>

class BenchLineReporter : public benchmark::ConsoleReporter {
 public:
  BenchLineReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      const double ns = run.GetAdjustedCPUTime();  // time unit is ns
      std::printf("BENCH %s %.1f ns\n", run.benchmark_name().c_str(), ns);
      std::fflush(stdout);
    }
  }
};

#define DM_BENCHMARK_MAIN()                                    \
  int main(int argc, char** argv) {                            \
    benchmark::Initialize(&argc, argv);                        \
    BenchLineReporter reporter;                                \
    benchmark::RunSpecifiedBenchmarks(&reporter);              \
    benchmark::Shutdown();                                     \
    return 0;                                                  \
  }
