// A process killed at any moment of Save leaves a log that reads back with the old content or
// the new one, never a mixture or a cut report.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "delivery/log/ELogFile.h"
#include "delivery/log/ELogReport.h"
#include "delivery/log/ELogSideCopy.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

constexpr int Capacity = 12;

// Report number n: the sample with its number in the message, padded to a report of
// about 20 KB so that a rewrite takes a while.
std::string NumberedReport(int n) {
  char number[16];
  std::snprintf(number, sizeof number, "%08d", n);
  static const std::string padding = [] {
    std::string lines;
    for (int i = 0; i < 100; ++i) lines += "\r\n " + std::string(60, static_cast<char>('a' + i % 26));
    return lines;
  }();
  return SampleReportWith("Read of address 00000010.", std::string("Read of address ") + number + "." + padding);
}

int NumberOf(const TLogFile& log, int index) {
  const std::string message = log.GetFieldValue(index, "2.5");
  const std::size_t at = message.find("Read of address ");
  return at == std::string::npos ? -1 : std::atoi(message.c_str() + at + 16);
}

// The child: adds numbered reports and saves after each, until it is killed.
[[noreturn]] void SaveForever(const std::string& fileName) {
  TLogFile log(fileName, false);
  int next = log.Count() == 0 ? 1 : NumberOf(log, log.Count() - 1) + 1;
  for (;; ++next) {
    log.AddReport(NumberedReport(next), Capacity);
    log.Save();
  }
}

TEST(LogSaveKill, KilledSaveLeavesOldOrNewContent) {
  // In memory-backed files the flushes cost nothing, so the kills fall on the writes.
  const std::string fileName = ScratchFolder("kill", "/dev/shm") + "Dialmoor.osk";
  std::mt19937 random(20261208);
  int last = 0;
  int advanced = 0;
  int interrupted = 0;
  for (int round = 0; round < 120; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(fileName);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the saving child ended on its own (status " << status << ")";
    if (ReadSideCopy(DefaultLogFileSystem(), fileName)) ++interrupted;

    // Whatever the moment, the reports read back are whole and form one saved state: the
    // newest numbers, consecutive, as many as the capacity allows.
    TLogFile log(fileName, true);
    if (log.Count() == 0) {
      ASSERT_EQ(last, 0) << "round " << round << ": the log lost its reports";
      continue;
    }
    const int newest = NumberOf(log, log.Count() - 1);
    ASSERT_GE(newest, last) << "round " << round << ": older content than before";
    ASSERT_EQ(log.Count(), std::min(newest, Capacity)) << "round " << round;
    for (int i = 0; i < log.Count(); ++i) {
      const int n = newest - log.Count() + 1 + i;
      ASSERT_TRUE(log.Report(i) == NumberedReport(n) + "\r\n\r\n\r\n")
          << "round " << round << ": report " << i << " is not report " << n << " whole";
    }
    if (newest > last) ++advanced;
    last = newest;
  }
  // Some kills must have come while the log file itself was being rewritten, and saves must
  // have completed.
  EXPECT_GT(interrupted, 5);
  EXPECT_GT(advanced, 20);
}

}  // namespace
