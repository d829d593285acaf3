// Under Wine: one report made the way the reporting thread makes it, for a process of five
// threads (this one as the exception thread and four that wait): every value collected, every
// stack walked, and the text rendered.
#include "platform/win/WinApi.h"

#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "report/capture/ECollectWin32.h"
#include "report/capture/MemoryReaderWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/options/EModuleConfigWin32.h"
#include "report/text/EReportText.h"

namespace {

__attribute__((noinline)) DWORD WINAPI Wait(void* event) {
  return WaitForSingleObject(event, INFINITE) + 1;
}

}  // namespace

int main() {
  if (!StartOskedaModuleConfig()) std::printf("no embedded configuration: frames stay unnamed\n");
  const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  TOskedaModuleOptions options("bench_report_build.exe", false);
  options.SetLogFlags(TLogFlags{lfModulesSection, lfCpuSection});
  options.SetStackFlags(TStackFlags{sfRuntimeThreads, sfSystemThreads, sfStackKind2});

  TCaptureRequest request;
  request.Options = &options;
  request.ExceptionThreadId = GetCurrentThreadId();
  request.Exception.ClassName = "EAccessViolation";
  request.Exception.Message = "Benchmark";
  request.Exception.Address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&Wait));
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                  THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, 0);
  request.Threads.push_back({GetCurrentThreadId(), self, true, true, ""});
  std::vector<HANDLE> threads;
  for (int i = 0; i < 4; ++i) {
    DWORD id = 0;
    threads.push_back(CreateThread(nullptr, 0, Wait, release, 0, &id));
    request.Threads.push_back({id, threads.back(), false, i % 2 == 0, ""});
  }
  Sleep(200);

  std::vector<double> millis;
  std::size_t length = 0;
  for (int round = 0; round < 21; ++round) {
    const double t0 = BenchSeconds();
    const TReportSnapshot snapshot = CollectReportSnapshotWin32(request);
    const TProcessMemoryReader memory;
    length = TReportText::Build(snapshot, options, &memory).Text().size();
    millis.push_back((BenchSeconds() - t0) * 1e3);
  }
  SetEvent(release);
  WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 5000);
  // The first report loads the libraries it asks (version, network, process status) and
  // touches every module once: the figure a program's first crash pays.
  std::printf("report length: %u, first report %.2f ms\n", static_cast<unsigned>(length),
              millis.front());
  std::printf("BENCH report_build %.2f ms\n", Median(millis));
  return 0;
}
