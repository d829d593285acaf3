// The clock's start and tick under Wine, from outside: process start to the window visible
// (beside a program that only shows a window), to the first tick's labels with the real zone
// catalogue and with one of 2,500 zones, and the delay of the displayed second behind the UTC
// second boundary.
#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ClockCommands.h"

namespace {

const char kCatalogue[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
const char kBenchZonePrefix[] = "Dialmoor Bench Zone ";

std::filesystem::path BuildFolder() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path().parent_path();
}

double NowMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<double>((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 1e4;
}

double CreatedMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  return static_cast<double>((static_cast<unsigned long long>(created.dwHighDateTime) << 32) |
                             created.dwLowDateTime) / 1e4;
}

struct Search {
  DWORD pid;
  HWND found = nullptr;
};

BOOL CALLBACK FindVisible(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid && IsWindowVisible(w)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

std::string Text(HWND window) {
  char buffer[256] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return buffer;
}

// One program started from a folder of its own copy (the clock writes its settings there).
class Started {
 public:
  explicit Started(const std::filesystem::path& exe) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::filesystem::path(temp) /
              ("dialmoor-start-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs_));
    std::filesystem::create_directories(folder_);
    const auto copy = folder_ / exe.filename();
    std::filesystem::copy_file(exe, copy, std::filesystem::copy_options::overwrite_existing);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command(1, '"');
    command.append(copy.string()).push_back('"');
    ok_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         folder_.string().c_str(), &startup, &process_);
  }
  ~Started() {
    if (ok_) {
      if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  // Milliseconds from the process's creation until `done` holds for its visible window.
  template <typename Done>
  double Until(Done done) {
    for (int i = 0; ok_ && i < 120000; ++i) {
      if (!window_) {
        Search search{process_.dwProcessId};
        EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
      }
      if (window_ && done(window_)) return NowMs() - CreatedMs(process_.hProcess);
      Sleep(1);
    }
    return -1;
  }
  HWND Window() const { return window_; }

 private:
  static inline int runs_ = 0;
  std::filesystem::path folder_;
  PROCESS_INFORMATION process_{};
  bool ok_ = false;
  HWND window_ = nullptr;
};

bool Ticked(HWND window) { return Text(window).rfind("Dialmoor - ", 0) == 0; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// Extra catalogue zones for one measurement, removed again however it ends.
class BenchZones {
 public:
  explicit BenchZones(int count) {
    HKEY catalogue;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCatalogue, 0, KEY_ALL_ACCESS, &catalogue)) return;
    HKEY model;
    BYTE tzi[44] = {};
    DWORD size = sizeof tzi;
    if (!RegOpenKeyExA(catalogue, "W. Europe Standard Time", 0, KEY_READ, &model)) {
      RegQueryValueExA(model, "TZI", nullptr, nullptr, tzi, &size);
      RegCloseKey(model);
    }
    for (int i = 0; i < count; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "%s%04d", kBenchZonePrefix, i);
      HKEY zone;
      if (RegCreateKeyExA(catalogue, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &zone, nullptr)) break;
      names_.push_back(name);
      // Offsets spread over the day, so that the list has something to sort.
      const LONG bias = (i * 37) % 1500 - 720;
      std::memcpy(tzi, &bias, sizeof bias);
      RegSetValueExA(zone, "TZI", 0, REG_BINARY, tzi, sizeof tzi);
      RegSetValueExA(zone, "Display", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(std::strlen(name) + 1));
      RegSetValueExA(zone, "Std", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(std::strlen(name) + 1));
      RegSetValueExA(zone, "Dlt", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), static_cast<DWORD>(std::strlen(name) + 1));
      RegCloseKey(zone);
    }
    RegCloseKey(catalogue);
  }
  ~BenchZones() {
    HKEY catalogue;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCatalogue, 0, KEY_ALL_ACCESS, &catalogue)) return;
    for (const std::string& name : names_) RegDeleteKeyA(catalogue, name.c_str());
    RegCloseKey(catalogue);
  }
  BenchZones(const BenchZones&) = delete;
  BenchZones& operator=(const BenchZones&) = delete;
  int Count() const { return static_cast<int>(names_.size()); }

 private:
  std::vector<std::string> names_;
};

int CatalogueSize() {
  HKEY catalogue;
  DWORD count = 0;
  if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCatalogue, 0, KEY_READ, &catalogue)) {
    RegQueryInfoKeyA(catalogue, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(catalogue);
  }
  return static_cast<int>(count);
}

// The delay after each UTC second boundary until the clock's UTC time label shows the new
// second, over `ticks` changes of the label.
double TickPhaseMs(HWND clock, int ticks) {
  HWND panel = GetWindow(clock, GW_CHILD);
  HWND utcTime = panel ? ChildWindowFromPointEx(panel, POINT{188 + 2, 12 + 2}, CWP_ALL) : nullptr;
  if (!utcTime || utcTime == panel) return -1;
  std::vector<double> delays;
  std::string last = Text(utcTime);
  for (int polls = 0; static_cast<int>(delays.size()) < ticks && polls < ticks * 4000; ++polls) {
    const std::string now = Text(utcTime);
    SYSTEMTIME utc;
    GetSystemTime(AsWin32(&utc));
    if (now != last) {
      last = now;
      // A label that changes just before the boundary would show the old second: negative.
      delays.push_back(utc.wMilliseconds < 500 ? utc.wMilliseconds : utc.wMilliseconds - 1000.0);
    }
    Sleep(1);
  }
  return static_cast<int>(delays.size()) == ticks ? Median(delays) : -1;
}

}  // namespace

int main() {
  const std::filesystem::path build = BuildFolder();
  const auto clockExe = build / "app" / "Dialmoor.exe";
  const auto emptyExe = build / "bench" / "empty_window.exe";

  // Pairs started one after the other, so that each ratio compares two starts under the same
  // load of a shared machine; which of the two goes first alternates.
  std::vector<double> clockVisible, emptyVisible, ratios;
  for (int run = 0; run < 11; ++run) {
    double clockMs = -1, emptyMs = -1;
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + run) % 2 == 0) {
        Started empty(emptyExe);
        emptyMs = empty.Until([](HWND) { return true; });
      } else {
        Started clock(clockExe);
        clockMs = clock.Until([](HWND) { return true; });
      }
    }
    clockVisible.push_back(clockMs);
    emptyVisible.push_back(emptyMs);
    if (clockMs > 0 && emptyMs > 0) ratios.push_back(clockMs / emptyMs);
  }

  const int realZones = CatalogueSize();
  double start139 = -1, phase = -1;
  {
    Started clock(clockExe);
    start139 = clock.Until(Ticked);
    if (start139 >= 0) phase = TickPhaseMs(clock.Window(), 60);
  }
  double start2500 = -1;
  int zones = realZones;
  {
    BenchZones extra(2500 - realZones);
    zones = CatalogueSize();
    Started clock(clockExe);
    start2500 = clock.Until(Ticked);
  }
  std::printf("BENCH clock_window_visible %.0f ms\n", Median(clockVisible));
  std::printf("BENCH empty_window_visible %.0f ms\n", Median(emptyVisible));
  std::printf("BENCH clock_window_visible_ratio %.2f x\n", Median(ratios));
  if (!ratios.empty())
    std::fprintf(stderr, "clock/empty visible over %zu pairs: %.2f..%.2f\n", ratios.size(),
                 *std::min_element(ratios.begin(), ratios.end()),
                 *std::max_element(ratios.begin(), ratios.end()));
  std::printf("BENCH clock_start_%d_zones %.0f ms\n", realZones, start139);
  std::printf("BENCH clock_start_%d_zones %.0f ms\n", zones, start2500);
  std::printf("BENCH tick_phase %.0f ms\n", phase);
  return start139 < 0 || start2500 < 0 || phase < 0 || ratios.empty() ? 1 : 0;
}
