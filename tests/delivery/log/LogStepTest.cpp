// The log step of the reporting sequence: the version-change deletion, the log action that a
// handler may cancel, and the error event with its retry.
#include <gtest/gtest.h>

#include <functional>

#include "delivery/log/ELogStep.h"
#include "report/capture/EOskedaEvents.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

class TRecordedEvents : public IReportEvents {
 public:
  bool AllowLog = true;
  int RetriesWanted = 0;
  std::function<void()> OnError;
  std::vector<int> Actions;
  std::vector<std::string> Errors;

  bool ActionNotify(int action) override {
    Actions.push_back(action);
    return action != atSaveLog || AllowLog;
  }
  bool ErrorNotify(int action, const std::string& message) override {
    EXPECT_EQ(action, atSaveLog);
    Errors.push_back(message);
    if (OnError) OnError();
    return RetriesWanted < 0 || static_cast<int>(Errors.size()) <= RetriesWanted;
  }
  void AttachedFiles(std::vector<std::string>&) override {}
  void CustomFields(std::vector<std::string>&, std::vector<std::string>&) override {}
};

class TRecordedOutput : public IDeliveryErrorOutput {
 public:
  std::vector<std::string> Lines;
  void DebugOutput(const std::string& line) override { Lines.push_back(line); }
  void ShowErrorBox(const std::string& text) override { Lines.push_back("box: " + text); }
};

struct LogStepFixture : ::testing::Test {
  LogStepFixture() : options("C:\\Apps\\Dialmoor.exe", false), keeper(fs) {
    options.SetLogFolder("C:\\Logs");
    context.Options = &options;
    context.Events = &events;
    context.Text = SampleReport();
  }
  TMemoryLogFileSystem fs;
  TOskedaModuleOptions options;
  TReportLogKeeper keeper;
  TRecordedEvents events;
  TRecordedOutput output;
  TReportContext context;
  const std::string logName = "C:\\Logs\\Dialmoor.osk";
};

TEST_F(LogStepFixture, CancelledLogActionLeavesTheLogAlone) {
  events.AllowLog = false;
  RunLogStep(context, keeper, output);
  EXPECT_EQ(events.Actions, std::vector<int>{atSaveLog});
  EXPECT_TRUE(fs.Files.empty());
  EXPECT_TRUE(events.Errors.empty());
}

TEST_F(LogStepFixture, FailureIsRecordedAndAnnouncedAndRetriedWhileAHandlerAsks) {
  fs.FailCreate = true;
  events.RetriesWanted = 1;
  RunLogStep(context, keeper, output);
  ASSERT_EQ(events.Errors.size(), 2u);
  EXPECT_EQ(events.Errors[0], "[Log] Cannot create file \"" + logName + "\".");
  ASSERT_EQ(output.Lines.size(), 2u);
  EXPECT_NE(output.Lines[0].find("Code: eeLogError"), std::string::npos) << output.Lines[0];
  EXPECT_EQ(LastDeliveryError().Code, eeLogError);

  // A handler that asks again every time gets a bounded number of attempts.
  events.Errors.clear();
  events.RetriesWanted = -1;
  RunLogStep(context, keeper, output);
  EXPECT_EQ(events.Errors.size(), 5u);

  // The retry after a failed save adds the report once.
  events.Errors.clear();
  events.RetriesWanted = 1;
  events.OnError = [&] { fs.FailCreate = false; };
  RunLogStep(context, keeper, output);
  EXPECT_EQ(events.Errors.size(), 1u);
  EXPECT_EQ(TLogFile(logName, true, fs).Count(), 1);
}

TEST_F(LogStepFixture, LogOfAnotherVersionIsDeletedOnlyWhenAsked) {
  const std::string older = SampleReportWith("1.0.3.12", "1.0.2.0");
  fs.Files[logName] = older + "\r\n\r\n\r\n";
  fs.Files[logName + ".saving"] = "left by an earlier save";
  RunLogStep(context, keeper, output);
  EXPECT_EQ(TLogFile(logName, true, fs).Count(), 2) << "kept without lfDeleteOnVersionChange";

  options.SetLogFlags(options.LogFlags().With(lfDeleteOnVersionChange));
  TReportLogKeeper fresh(fs);
  fs.Files.clear();
  fs.Files[logName] = older + "\r\n\r\n\r\n";
  fs.Files[logName + ".saving"] = "left by an earlier save";
  RunLogStep(context, fresh, output);
  TLogFile log(logName, true, fs);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log.GetFieldValue(0, "1.3"), "1.0.3.12");

  // The same version keeps the log.
  RunLogStep(context, fresh, output);
  EXPECT_EQ(TLogFile(logName, true, fs).Count(), 2);
}

}  // namespace
