// Under Wine: from the start of the display step to the error dialog painted, expanded on its
// General tab with the banner look, for a report of five threads and sixty modules.
#include "platform/win/WinApi.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchClock.h"
#include "platform/DateTime.h"
#include "report/dialog/EErrorDialogWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportText.h"

namespace {

TReportSnapshot BenchSnapshot() {
  TReportSnapshot s;
  s.Application.ExePath = "C:\\Program Files\\Dialmoor\\Dialmoor.exe";
  s.Exception.ClassName = "EAccessViolation";
  s.Exception.Message = "Access violation at address 00401A2B in module 'Dialmoor.exe'.";
  s.Exception.Address = 0x00401A2B;
  s.Exception.Context = TRegisterSnapshot{1, 2, 3, 4, 5, 6, 0x0012FF00, 0x00401A2B};
  s.System.ComputerName = "BENCHBOX";
  s.System.MajorVersion = 6;
  for (std::uint32_t t = 0; t < 5; ++t) {
    s.Threads.push_back({1000 + t, 0, t == 1 ? "TWorker" : "", t == 0});
    for (std::uint32_t f = 0; f < 12; ++f) {
      TOskedaStackEntry e;
      e.ThreadId = 1000 + t;
      e.Running = t > 0;
      e.Kind = 4;
      e.Address = 0x00401000 + 0x40 * f + 0x1000 * t;
      e.ModulePath = s.Application.ExePath;
      e.UnitName = "app/Unit" + std::to_string(f) + ".cpp";
      e.ClassName = "TForm" + std::to_string(t);
      e.ProcedureName = "Handler" + std::to_string(f);
      e.Line = 10 + f;
      s.Stack.push_back(e);
    }
  }
  for (std::uint32_t m = 0; m < 60; ++m)
    s.Modules.push_back({0x10000000u + 0x100000u * m,
                         "C:\\windows\\system32\\module" + std::to_string(m) + ".dll",
                         "Module number " + std::to_string(m), "6.1.7601." + std::to_string(m),
                         65536u * (m + 1), EncodeDateTime(2020, 1, 2, 3, 4, 5, 0)});
  return s;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (IsWindowVisible(window) && std::string(name) == "#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM dirty) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(dirty) = true;
    return FALSE;
  }
  return TRUE;
}

bool Painted(HWND dialog) {
  bool dirty = GetUpdateRect(dialog, nullptr, FALSE) != FALSE;
  if (!dirty) EnumChildWindows(dialog, &FindUnpainted, reinterpret_cast<LPARAM>(&dirty));
  return !dirty;
}

}  // namespace

int main() {
  TOskedaModuleOptions options("bench_dialog_open.exe", false);
  options.SetLogFlags(TLogFlags{lfModulesSection, lfCpuSection});
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfStartExpanded, dfBannerLook,
                                      dfShowDetailsButton, dfShowCopyOption});
  const TReportSnapshot snapshot = BenchSnapshot();
  TReportText report = TReportText::Build(snapshot, options, nullptr);

  std::vector<double> millis;
  for (int round = 0; round < 7; ++round) {
    TReportContext context;
    context.Options = &options;
    context.Report = &report;
    context.Snapshot = &snapshot;
    context.Text = report.Text();
    std::atomic<DWORD> threadId{0};
    const double start = BenchSeconds();
    std::thread display([&] {
      threadId = GetCurrentThreadId();
      ShowErrorDialog(context, "benchmark", 1);
    });
    HWND dialog = nullptr;
    double painted = 0;
    for (int i = 0; i < 20000 && !painted; ++i) {
      if (!dialog && threadId)
        EnumThreadWindows(threadId, &FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog && Painted(dialog))
        painted = BenchSeconds();
      else
        Sleep(1);
    }
    if (dialog) PostMessageA(GetDlgItem(dialog, 2), BM_CLICK, 0, 0);
    display.join();
    if (painted) millis.push_back((painted - start) * 1e3);
  }
  if (millis.empty()) {
    std::printf("the dialog was never painted\n");
    return 1;
  }
  std::printf("first dialog %.1f ms\n", millis.front());
  std::printf("BENCH dialog_open %.1f ms\n", Median(millis));
  return 0;
}
