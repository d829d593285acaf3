// The freeze watcher's count of unanswered time and its choice of the window to watch.
#include <gtest/gtest.h>

#include "report/freeze/EFreezeRules.h"

namespace {

// Feeds n unanswered pings; the number of the ping that asked for a report (1-based), or 0.
int FirstReportWithin(TFreezeCount& count, int n) {
  for (int i = 1; i <= n; ++i)
    if (count.After(TPingResult::Unanswered) == TFreezeStep::Report) return i;
  return 0;
}

TEST(FreezeCount, ReportsWhenTheWholeLimitWentUnansweredAndAgainAfterAnotherLimit) {
  TFreezeCount count(2);
  EXPECT_EQ(FirstReportWithin(count, 100), 40);  // 40 pings of 50 ms
  EXPECT_EQ(count.ElapsedMs(), 0);
  EXPECT_EQ(FirstReportWithin(count, 100), 40);
}

TEST(FreezeCount, AnAnswerOrAGoneWindowStartsTheCountAgain) {
  TFreezeCount count(2);
  EXPECT_EQ(FirstReportWithin(count, 39), 0);
  EXPECT_EQ(count.After(TPingResult::Answered), TFreezeStep::Rest);
  EXPECT_EQ(FirstReportWithin(count, 39), 0);
  EXPECT_EQ(count.After(TPingResult::WindowGone), TFreezeStep::FindWindow);
  EXPECT_EQ(FirstReportWithin(count, 39), 0);
  EXPECT_EQ(count.After(TPingResult::Unanswered), TFreezeStep::Report);
}

TEST(FreezeCount, AWindowAnsweringJustInsideTheLimitIsNeverReported) {
  TFreezeCount count(60);
  for (int round = 0; round < 5; ++round) {
    EXPECT_EQ(FirstReportWithin(count, 1199), 0);  // 59.95 s
    EXPECT_EQ(count.After(TPingResult::Answered), TFreezeStep::Rest);
  }
}

TEST(FreezeCount, UnusableSecondsMeanTheDefaultAndLargeOnesDoNotOverflow) {
  EXPECT_EQ(TFreezeCount(0).LimitMs(), DefaultFreezeSeconds * 1000);
  EXPECT_EQ(TFreezeCount(-3).LimitMs(), DefaultFreezeSeconds * 1000);
  EXPECT_EQ(TFreezeCount(2147483647).LimitMs(), 2147483647000LL);
}

TEST(FreezeCount, ALimitLoweredBelowTheCountReportsAtTheNextUnansweredPing) {
  TFreezeCount count(60);
  EXPECT_EQ(FirstReportWithin(count, 60), 0);  // 3 s
  count.SetLimit(2);
  EXPECT_EQ(count.ElapsedMs(), 3000);
  EXPECT_EQ(count.After(TPingResult::Unanswered), TFreezeStep::Report);
}

TEST(FreezeWindow, TheProgramsOwnVisibleWindowIsWatchedNotToolsOrOwnedDialogs) {
  const TWindowFacts visible{true, false, false};
  const TWindowFacts hidden{false, false, false};
  const TWindowFacts tool{true, true, false};
  const TWindowFacts toolApp{true, true, true};
  EXPECT_TRUE(IsFreezeWatchWindow(visible, std::nullopt, false));
  EXPECT_FALSE(IsFreezeWatchWindow(hidden, std::nullopt, false));
  EXPECT_FALSE(IsFreezeWatchWindow(tool, std::nullopt, false));
  EXPECT_TRUE(IsFreezeWatchWindow(toolApp, std::nullopt, false));
  // A dialog or message box over a visible window is not the main window.
  EXPECT_FALSE(IsFreezeWatchWindow(visible, visible, false));
  // The runtime's hidden application window, and a tool window, are skipped over once.
  EXPECT_TRUE(IsFreezeWatchWindow(visible, hidden, false));
  EXPECT_TRUE(IsFreezeWatchWindow(visible, tool, false));
  EXPECT_FALSE(IsFreezeWatchWindow(visible, tool, true));
  EXPECT_FALSE(IsFreezeWatchWindow(hidden, hidden, false));
}

}  // namespace
