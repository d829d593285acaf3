// Under Wine: one raw scan of 64 KB of a real thread stack through the live-process reader,
// as the reporter walks the exception thread. The frames are padded with words of which every
// fourth points into the program's code, so the call forms are tested as often as on a busy
// stack.
#include "platform/win/WinApi.h"

#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "report/capture/EModuleSymbolResolver.h"
#include "report/capture/EStackScan.h"
#include "report/capture/MemoryReaderWin32.h"

namespace {

constexpr std::uint32_t kScanBytes = 64 * 1024;
constexpr int kFrameWords = 240;

std::uint32_t Addr(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

std::vector<double> g_micros;
std::size_t g_frames = 0;

void Measure() {
  std::uint32_t stackBase;
  asm("movl %%fs:4, %0" : "=r"(stackBase));
  const std::uint32_t start = Addr(__builtin_frame_address(0));
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  TModuleSymbolResolver resolver;
  resolver.AddModule({Addr(base), nt->OptionalHeader.SizeOfImage, "bench.exe", nullptr, {}});

  TStackWalkParams params;
  params.Start = start;
  params.StackTop = std::min<std::uint64_t>(stackBase, std::uint64_t{start} + kScanBytes);
  params.ThreadId = GetCurrentThreadId();
  for (int round = 0; round < 51; ++round) {
    const TProcessMemoryReader memory;
    TOskedaStackList list;
    const double t0 = BenchSeconds();
    WalkStack(memory, resolver, params, list);
    g_micros.push_back((BenchSeconds() - t0) * 1e6);
    g_frames = list.size();
  }
}

__attribute__((noinline)) int Deep(int depth, std::uint32_t code) {
  volatile std::uint32_t pad[kFrameWords];
  for (int i = 0; i < kFrameWords; ++i)
    pad[i] = i % 4 == 0 ? code + static_cast<std::uint32_t>(i * 37 + depth) % 0x4000
                        : 0x9E3779B9u * static_cast<std::uint32_t>(i + depth);
  if (depth > 0) return Deep(depth - 1, code) + static_cast<int>(pad[depth % kFrameWords] & 1);
  Measure();
  return static_cast<int>(pad[0] & 1);
}

}  // namespace

int main() {
  const std::uint32_t code = Addr(reinterpret_cast<const void*>(&Deep));
  // Enough frames that 64 KB of stack lie above the deepest one.
  Deep(kScanBytes / (kFrameWords * 4) + 8, code);
  std::printf("frames found: %u\n", static_cast<unsigned>(g_frames));
  std::printf("BENCH stack_scan %.1f us\n", Median(g_micros));
  return 0;
}
