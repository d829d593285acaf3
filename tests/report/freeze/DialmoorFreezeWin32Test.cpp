// The real Dialmoor.exe, built with the freeze watch on and a 5 s limit: its main thread,
// stopped from outside, is reported as frozen with the error window captioned with text 2, and
// the clock goes on once the window is closed and the thread runs again.
#include <gtest/gtest.h>

#include "platform/win/WinApi.h"

#include <string>

#include "platform/win/UniqueHandle.h"
#include "tests/app/ClockProcessWin32.h"

namespace {

constexpr char kErrorCaption[] = "Dialmoor - Error.";

// Resumes the thread it suspended when the test leaves, also when an assertion fails.
class TOutsideSuspension {
 public:
  explicit TOutsideSuspension(DWORD threadId)
      : thread_(OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId)) {
    suspended_ = thread_ && SuspendThread(thread_.get()) != static_cast<DWORD>(-1);
  }
  ~TOutsideSuspension() { Resume(); }
  TOutsideSuspension(const TOutsideSuspension&) = delete;
  TOutsideSuspension& operator=(const TOutsideSuspension&) = delete;

  bool Suspended() const { return suspended_; }
  void Resume() {
    if (suspended_) ResumeThread(thread_.get());
    suspended_ = false;
  }

 private:
  UniqueKernelHandle thread_;
  bool suspended_ = false;
};

bool WaitUntilGone(HWND window) {
  for (int i = 0; i < 1000 && IsWindow(window); ++i) Sleep(10);
  return !IsWindow(window);
}

TEST(DialmoorFreeze, AStoppedMainThreadIsReportedAndTheClockGoesOnAfterwards) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  ASSERT_TRUE(clock.WaitForTick());
  // No report while the clock answers.
  Sleep(6000);
  EXPECT_EQ(FindWindowA("#32770", kErrorCaption), nullptr);

  const DWORD mainThread = GetWindowThreadProcessId(clock.Window(), nullptr);
  TOutsideSuspension suspension(mainThread);
  ASSERT_TRUE(suspension.Suspended());
  HWND error = clock.WaitForWindow("#32770", kErrorCaption);
  ASSERT_NE(error, nullptr) << "no window captioned " << kErrorCaption;
  // The report's window belongs to a thread of the subsystem, not to the stopped main thread.
  EXPECT_NE(GetWindowThreadProcessId(error, nullptr), mainThread);
  PostMessageA(error, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilGone(error));
  suspension.Resume();

  const std::string shown = clock.Text(clock.LabelAt(20, 12));
  std::string now = shown;
  for (int i = 0; i < 300 && now == shown; ++i) {
    Sleep(10);
    now = clock.Text(clock.LabelAt(20, 12));
  }
  EXPECT_NE(now, shown) << "the clock stopped at " << shown;
  DWORD exitCode = 0;
  EXPECT_TRUE(clock.CloseAndWait(&exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
