// Under Wine: a C++ throw caught one frame up, without and with the throw record of the
// reporting subsystem, and the cost the record adds to each handled throw.
#include "platform/win/WinApi.h"

#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "platform/SysUtils.h"
#include "report/capture/EExceptionManagerWin32.h"

namespace {

volatile int sink = 0;

__attribute__((noinline)) void Thrower(int value) {
  if (value >= 0) throw EConvertError("bench");
  sink = value;
}

__attribute__((noinline)) void CatchOneFrameUp(int value) {
  try {
    Thrower(value);
  } catch (const EConvertError&) {
    sink = sink + 1;
  }
}

// The median of 15 runs of 2000 throws, in microseconds per throw.
double MicrosPerThrow() {
  constexpr int kThrows = 2000;
  std::vector<double> runs;
  for (int run = 0; run < 15; ++run) {
    const double start = BenchSeconds();
    for (int i = 0; i < kThrows; ++i) CatchOneFrameUp(i);
    runs.push_back((BenchSeconds() - start) * 1e6 / kThrows);
  }
  return Median(runs);
}

}  // namespace

int main() {
  SetOskedaLogActive(false);
  MicrosPerThrow();  // warm the unwinder's tables
  const double plain = MicrosPerThrow();
  SetOskedaLogActive(true);
  const double hooked = MicrosPerThrow();
  SetOskedaLogActive(false);
  std::printf("BENCH throw_catch_plain %.2f us\n", plain);
  std::printf("BENCH throw_catch_hooked %.2f us\n", hooked);
  std::printf("BENCH throw_hook_cost %.2f us\n", hooked - plain);
  return 0;
}
