// The running clock under Wine: CPU time per minute of ticking, peak private bytes, time from
// process start to the first completed tick, and the size of Dialmoor.exe.
#include "platform/win/WinApi.h"
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/ClockCommands.h"

namespace {

constexpr DWORD kTickingMs = 60000;

std::filesystem::path DialmoorExe() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path().parent_path() / "app" / "Dialmoor.exe";
}

double FileTimeMs(const FILETIME& t) {
  return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
}

// Wine's GetProcessTimes for another process does not follow its running threads; the Linux
// process's counters are in /proc, found by the folder unique to this run on its command line.
std::string ProcStat(const std::string& pathPart) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::string result;
  do {
    const std::string name = found.cFileName;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + name;
    std::FILE* f = std::fopen((dir + "\\cmdline").c_str(), "rb");
    if (!f) continue;
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    if (std::string(buffer, n).find(pathPart) != std::string::npos) result = dir + "\\stat";
  } while (result.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return result;
}

// Nanoseconds on the CPU of every thread of the Linux process, from the scheduler's own
// accounting (the tick counts of "stat" are 10 ms coarse, a sixth of the whole budget); -1 when
// it cannot be read.
double SchedulerCpuMs(const std::string& procDir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((procDir + "\\task\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  double ns = 0;
  bool any = false;
  do {
    const std::string name = found.cFileName;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::FILE* f = std::fopen((procDir + "\\task\\" + name + "\\schedstat").c_str(), "rb");
    if (!f) continue;
    unsigned long long onCpu = 0;
    if (std::fscanf(f, "%llu", &onCpu) == 1) {
      ns += static_cast<double>(onCpu);
      any = true;
    }
    std::fclose(f);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return any ? ns / 1e6 : -1;
}

double CpuMs(HANDLE process, const std::string& procStat) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  if (procStat.empty()) return FileTimeMs(kernel) + FileTimeMs(user);
  const double precise = SchedulerCpuMs(procStat.substr(0, procStat.rfind('\\')));
  if (precise >= 0) return precise;
  std::FILE* f = std::fopen(procStat.c_str(), "rb");
  if (!f) return 0;
  char buffer[1024] = {};
  std::fread(buffer, 1, sizeof buffer - 1, f);
  std::fclose(f);
  // Fields 14 and 15 (user and system time in clock ticks) follow the ")" that ends field 2.
  const char* p = std::strrchr(buffer, ')');
  unsigned long long utime = 0, stime = 0;
  if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
    return 0;
  return (utime + stime) * 10.0;  // USER_HZ is 100 on Linux
}

struct Search {
  DWORD pid;
  HWND found = nullptr;
};

BOOL CALLBACK FindClock(HWND w, LPARAM p) {
  auto* s = static_cast<Search*>(reinterpret_cast<void*>(p));
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char text[256] = {};
  GetWindowTextA(w, text, sizeof text);
  if (pid == s->pid && IsWindowVisible(w) && std::string(text).rfind(kClockCaption, 0) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int main() {
  const std::filesystem::path exe = DialmoorExe();
  std::error_code error;
  const auto size = std::filesystem::file_size(exe, error);
  if (error) {
    std::fprintf(stderr, "no %s\n", exe.string().c_str());
    return 1;
  }
  // A folder of its own, so that the settings file it writes at close is ours.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const auto folder = std::filesystem::path(temp) / ("dialmoor-bench-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  const auto copy = folder / "Dialmoor.exe";
  std::filesystem::copy_file(exe, copy, std::filesystem::copy_options::overwrite_existing);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = copy.string();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.string().c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", command.c_str());
    return 1;
  }
  Search search{process.dwProcessId};
  std::string caption;
  double firstTickMs = -1;
  for (int i = 0; i < 30000 && firstTickMs < 0; ++i) {
    if (!search.found) EnumWindows(&FindClock, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      char text[256] = {};
      GetWindowTextA(search.found, text, sizeof text);
      if (std::string(text).rfind("Dialmoor - ", 0) == 0) {
        FILETIME now, created, exited, kernel, user;
        GetSystemTimeAsFileTime(&now);
        GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
        firstTickMs = FileTimeMs(now) - FileTimeMs(created);
      }
    }
    if (firstTickMs < 0) Sleep(1);
  }
  if (firstTickMs < 0) {
    std::fprintf(stderr, "the clock never ticked\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  const std::string procStat = ProcStat(folder.filename().string());
  const double cpuBefore = CpuMs(process.hProcess, procStat);
  Sleep(kTickingMs);
  const double cpuPerMinute = (CpuMs(process.hProcess, procStat) - cpuBefore) * 60000.0 / kTickingMs;

  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  // Peak commit charge is the peak of private bytes.
  const SIZE_T privatePeak = memory.PeakPagefileUsage > memory.PrivateUsage ? memory.PeakPagefileUsage
                                                                             : memory.PrivateUsage;
  PostMessageA(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::filesystem::remove_all(folder, error);

  std::printf("BENCH clock_cpu_per_minute %.1f ms\n", cpuPerMinute);
  std::printf("BENCH clock_private_bytes %.0f KiB\n", privatePeak / 1024.0);
  std::printf("BENCH clock_first_tick %.0f ms\n", firstTickMs);
  std::printf("BENCH exe_size %.0f KiB\n", size / 1024.0);
  return 0;
}
