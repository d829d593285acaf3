// Adding a 20 KB report to a log file of 20 reports and saving it, as the reporting sequence
// does after each error. Prints the median of 25 runs; the file is rebuilt before each run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "delivery/log/ELogFile.h"

namespace {

// A report of about 20 KB in the writer's layout: general fields, a long call stack.
std::string Report(int number) {
  std::string text = "OskedaLog 5.1.12\r\n\r\nException:\r\n--------------------\r\n  2.1 Date   : " +
                     std::to_string(number) + "\r\n  2.2 Address: 0041B27A\r\n\r\n";
  const std::string border(83, '-');
  text += "Call Stack Information:\r\n" + border + "\r\n|Address |Module      |Unit            |Class          |Procedure/Method |Line    |\r\n" + border + "\r\n";
  while (text.size() < 20 * 1024 - 200) {
    text += "|0041B27A|Dialmoor.exe|testUTC1.cpp    |TTimeZoneTester|btnLocNowClick   |214[7]  |\r\n";
  }
  return text + border + "\r\n\r\nRegisters:\r\n-----------------------------";
}

}  // namespace

int main() {
  const std::string fileName = (std::filesystem::temp_directory_path() / "dm-bench-log.osk").string();
  const std::string report = Report(99);
  std::vector<double> times;
  for (int run = 0; run < 25; ++run) {
    std::filesystem::remove(fileName);
    {
      TLogFile setup(fileName, false);
      for (int i = 0; i < 20; ++i) setup.AddReport(Report(i), 32);
      setup.Save();
    }
    TLogFile log(fileName, false);
    const auto start = std::chrono::steady_clock::now();
    log.AddReport(report, 32);
    log.Save();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::filesystem::remove(fileName);
  std::sort(times.begin(), times.end());
  std::printf("BENCH log_add_save %.2f ms\n", times[times.size() / 2]);
  return 0;
}
