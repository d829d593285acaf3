// A process killed at any moment of Save leaves a log that reads back with the old content or
// the new one, never a mixture or a cut report. The saving child is killed from outside at
// random moments, and kills itself at chosen file changes with a random part of the write
// done, so that every step of a save is hit whatever the machine's speed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>

#include "delivery/log/ELogFile.h"
#include "delivery/log/ELogReport.h"
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

// The host's files, with the process killing itself at its n-th change to a file; a write
// is first done in part, as far as a random byte.
class TKillingFileSystem : public TLogFileSystem {
 public:
  TKillingFileSystem(int killAt, unsigned seed) : countdown_(killAt), random_(seed) {}

  void Step(const std::function<void(std::size_t cut)>& partial, std::size_t size) {
    if (--countdown_ != 0) return;
    partial(size == 0 ? 0 : random_() % size);
    ::kill(::getpid(), SIGKILL);
  }

  std::unique_ptr<TLogFileHandle> Open(const std::string& path, bool readOnly) override {
    return Wrap(Real().Open(path, readOnly));
  }
  std::unique_ptr<TLogFileHandle> Create(const std::string& path) override {
    Step([](std::size_t) {}, 0);
    return Wrap(Real().Create(path));
  }
  bool CanOpen(const std::string& path, bool readOnly) override { return Real().CanOpen(path, readOnly); }
  bool Delete(const std::string& path) override {
    Step([](std::size_t) {}, 0);
    return Real().Delete(path);
  }
  bool ForceDirectories(const std::string& path) override { return Real().ForceDirectories(path); }
  std::string EnvironmentVariable(const std::string& name) override { return Real().EnvironmentVariable(name); }
  std::string ProgramFileName() override { return Real().ProgramFileName(); }

 private:
  class TFile : public TLogFileHandle {
   public:
    TFile(std::unique_ptr<TLogFileHandle> real, TKillingFileSystem& fs) : real_(std::move(real)), fs_(fs) {}
    std::string ReadAll() override { return real_->ReadAll(); }
    std::string ReadTail(std::size_t count) override { return real_->ReadTail(count); }
    void Rewrite(std::string_view data) override {
      fs_.Step([&](std::size_t cut) { real_->Overwrite(0, data.substr(0, cut)); }, data.size());
      real_->Rewrite(data);
    }
    void Overwrite(std::uint64_t offset, std::string_view data) override {
      fs_.Step([&](std::size_t cut) { real_->Overwrite(offset, data.substr(0, cut)); }, data.size());
      real_->Overwrite(offset, data);
    }

   private:
    std::unique_ptr<TLogFileHandle> real_;
    TKillingFileSystem& fs_;
  };

  static TLogFileSystem& Real() { return DefaultLogFileSystem(); }
  std::unique_ptr<TLogFileHandle> Wrap(std::unique_ptr<TLogFileHandle> real) {
    return real ? std::make_unique<TFile>(std::move(real), *this) : nullptr;
  }

  int countdown_;
  std::mt19937 random_;
};

// The child: adds numbered reports and saves after each, until it is killed.
[[noreturn]] void SaveForever(const std::string& fileName, TLogFileSystem& fileSystem) {
  TLogFile log(fileName, false, fileSystem);
  int next = log.Count() == 0 ? 1 : NumberOf(log, log.Count() - 1) + 1;
  for (;; ++next) {
    log.AddReport(NumberedReport(next), Capacity);
    log.Save();
  }
}

class LogSaveKill : public ::testing::Test {
 protected:
  // Runs the child until it is killed (by kill when set, else by itself), then checks that
  // the reports read back are whole and form one saved state: the newest numbers,
  // consecutive, as many as the capacity allows, and never older than before.
  void RunRound(int round, const std::function<void()>& child, const std::function<void(pid_t)>& kill) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) child();
    if (kill) kill(pid);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the saving child ended otherwise (status " << status << ")";

    TLogFile log(fileName_, true);
    if (log.Count() == 0) {
      ASSERT_EQ(last_, 0) << "round " << round << ": the log lost its reports";
      return;
    }
    const int newest = NumberOf(log, log.Count() - 1);
    ASSERT_GE(newest, last_) << "round " << round << ": older content than before";
    ASSERT_EQ(log.Count(), std::min(newest, Capacity)) << "round " << round;
    for (int i = 0; i < log.Count(); ++i) {
      const int n = newest - log.Count() + 1 + i;
      ASSERT_TRUE(log.Report(i) == NumberedReport(n) + "\r\n\r\n\r\n")
          << "round " << round << ": report " << i << " is not report " << n << " whole";
    }
    last_ = newest;
  }

  // In memory-backed files the flushes cost nothing, so outside kills fall on the writes.
  const std::string fileName_ = ScratchFolder("kill", "/dev/shm") + "Dialmoor.osk";
  int last_ = 0;
};

TEST_F(LogSaveKill, KilledAtEveryFileChangeOfASave) {
  // A save makes three or four changes (side copy, log file, seal; first the repair of an
  // interrupted save); the child dies at its first to eighth change.
  for (int round = 0; round < 64; ++round) {
    RunRound(round, [&] {
      TKillingFileSystem fs(1 + round % 8, static_cast<unsigned>(round));
      SaveForever(fileName_, fs);
    }, nullptr);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(last_, 32);  // saves went on between the kills
}

TEST_F(LogSaveKill, KilledFromOutsideAtRandomMoments) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 80; ++round) {
    RunRound(round, [&] { SaveForever(fileName_, DefaultLogFileSystem()); }, [&](pid_t pid) {
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
      ::kill(pid, SIGKILL);
    });
    if (HasFatalFailure()) return;
  }
}

}  // namespace
