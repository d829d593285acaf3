#include <gtest/gtest.h>

#include "report/capture/EDispatchRules.h"
#include "report/capture/EProcessorExceptions.h"

TEST(DispatchRules, TheKindAndTheKindOfProgramChooseTheDisplay) {
  using enum TDisplayMode;
  EXPECT_EQ(SelectDisplayMode(0, TProgramKind::Web), HtmlPage);
  EXPECT_EQ(SelectDisplayMode(0, TProgramKind::Console), Console);
  EXPECT_EQ(SelectDisplayMode(0, TProgramKind::Window), Dialog);
  EXPECT_EQ(SelectDisplayMode(1, TProgramKind::Console), Console);
  EXPECT_EQ(SelectDisplayMode(1, TProgramKind::Web), Dialog);
  EXPECT_EQ(SelectDisplayMode(2, TProgramKind::Window), HtmlPage);
  EXPECT_EQ(SelectDisplayMode(7, TProgramKind::Console), Dialog);
}

TEST(DispatchRules, TheSafeCallMarkIsAddedOnce) {
  const std::string once = WithSafeCallPrefix("Disk full");
  EXPECT_EQ(once, "[SafeCall Exception]: Disk full");
  EXPECT_EQ(WithSafeCallPrefix(once), once);
  EXPECT_TRUE(HasSafeCallPrefix(once));
  EXPECT_FALSE(HasSafeCallPrefix("Disk full [SafeCall Exception]: "));
}

TEST(DispatchRules, TheRateLimitKeepsTheLastCountTimesAndChecksTheirSpan) {
  const double minute = 1.0 / 1440;
  TErrorTimes times;
  times.Add(100, 3);
  times.Add(100 + minute, 3);
  EXPECT_FALSE(times.LimitReached(3, 2));  // only two errors so far
  times.Add(100 + 2 * minute, 3);
  EXPECT_TRUE(times.LimitReached(3, 2));  // exactly at the window's edge
  EXPECT_FALSE(times.LimitReached(3, 1));
  times.Add(100 + 10 * minute, 3);  // the oldest drops out
  EXPECT_EQ(times.Size(), 3u);
  EXPECT_FALSE(times.LimitReached(3, 5));
  EXPECT_TRUE(times.LimitReached(3, 9));
  EXPECT_FALSE(times.LimitReached(0, 100));
  times.Add(200, 0);
  EXPECT_EQ(times.Size(), 1u);
}

TEST(DispatchRules, TheTextsTheSequenceWrites) {
  EXPECT_EQ(ConsoleReportText("Head", "line1\r\nline2"), "Head\r\n\r\nline1\r\nline2\r\n");
  const std::string message = "Bad thing";
  EXPECT_EQ(InternalErrorLine("702", 0x401A2B, &message),
            "[ERROR] - Section: 702 - Address: 00401A2B - Message: \"Bad thing\"");
  EXPECT_EQ(InternalErrorLine("1", 0, nullptr),
            "[ERROR] - Section: 1 - Address: 00000000 - Message: \"General internal error.\"");
  EXPECT_EQ(InternalWarningLine("GUI", 16, "Cannot show the DialogBox window."),
            "[WARNING] - Code: GUI - Address: 00000010 - Message: \"Cannot show the DialogBox "
            "window.\"");
  EXPECT_EQ(ActionErrorText("Console", ""), "General 'Console' error.");
  EXPECT_EQ(ActionErrorText("Log", "Disk full"), "[Log] Disk full");
  EXPECT_EQ(LanguageRaiseAddress(0x401005), 0x401000u);
  EXPECT_EQ(LanguageRaiseAddress(3), 0u);
  EXPECT_TRUE(IsDevelopmentEnvironmentExe("C:\\Tools\\DialmoorStudio.exe"));
  EXPECT_FALSE(IsDevelopmentEnvironmentExe("C:\\Tools\\DialmoorStudio.exe.bak"));
  TInternalBugReport bug;
  bug.Section = "3";
  bug.Address = 0xABC;
  const std::string text = InternalBugReportText(bug);
  EXPECT_TRUE(text.starts_with("Version   : 5.1.12\r\n"));
  EXPECT_NE(text.find("\r\nSection   : 3\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nAddress   : $00000ABC\r\n"), std::string::npos);
}

namespace {

std::pair<std::string, std::string> Mapped(const TProcessorFault& fault, const char* module) {
  try {
    std::rethrow_exception(MakeProcessorException(fault, module));
  } catch (const Exception& e) {
    return {e.ClassName(), e.Message()};
  }
}

}  // namespace

TEST(ProcessorExceptions, FaultsBecomeTheRuntimesClassesWithItsMessages) {
  TProcessorFault av{StatusAccessViolation, 0x00401234, true, 0, 0};
  EXPECT_EQ(Mapped(av, "CrashLab.exe"),
            std::make_pair(std::string("EAccessViolation"),
                           std::string("Access violation at address 00401234 in module "
                                       "'CrashLab.exe'. Read of address 00000000")));
  av.AccessKind = 1;
  av.AccessedAddress = 0x10;
  EXPECT_EQ(Mapped(av, "").second,
            "Access violation at address 00401234 in module ''. Write of address 00000010");
  EXPECT_EQ(Mapped({StatusStackOverflow}, "a").first, "EStackOverflow");
  EXPECT_EQ(Mapped({StatusIntegerDivideByZero}, "a"),
            std::make_pair(std::string("EDivByZero"), std::string("Division by zero")));
  EXPECT_EQ(Mapped({0xC000001D}, "a"), std::make_pair(std::string("EExternalException"),
                                                      std::string("External exception C000001D")));
  try {
    std::rethrow_exception(MakeProcessorException({StatusIntegerDivideByZero}, "a"));
  } catch (const Exception& e) {
    EXPECT_TRUE(e.InheritsFrom("EIntError"));
    EXPECT_TRUE(e.InheritsFrom("EExternal"));
  }
  EXPECT_TRUE(IsMappedProcessorCode(StatusAccessViolation));
  EXPECT_TRUE(IsMappedProcessorCode(0xC000013A));
  EXPECT_FALSE(IsMappedProcessorCode(0xC000013B));
  EXPECT_FALSE(IsMappedProcessorCode(0x80000003));  // a breakpoint
  EXPECT_FALSE(IsMappedProcessorCode(ThreadNamingException));
}
