// A program without the dialog's templates: the report's message still reaches the user, in
// a message box, and the failed display is announced.
#include "platform/win/WinApi.h"

#include <gtest/gtest.h>

#include "report/capture/EOskedaEvents.h"
#include "report/dialog/EErrorDialogWin32.h"
#include "report/options/ECoreOptions.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"

namespace {

class RecordingEvents final : public IReportEvents {
 public:
  bool ActionNotify(int) override { return true; }
  bool ErrorNotify(int action, const std::string& message) override {
    errors += std::to_string(action) + ":" + message + ";";
    return false;
  }
  void AttachedFiles(std::vector<std::string>&) override {}
  void CustomFields(std::vector<std::string>&, std::vector<std::string>&) override {}
  std::string errors;
};

TEST(ErrorDialogFallback, MessageBoxWhenTheDialogCannotBeMade) {
  TOskedaModuleOptions options("test.exe", false);
  RecordingEvents events;
  TReportContext context;
  context.Options = &options;
  context.Events = &events;
  MessageBoxAnswerer answer(options.GetText(2));
  ShowErrorDialog(context, "The clock stopped.", 1);
  EXPECT_EQ(answer.Text(), "The clock stopped.");
  EXPECT_FALSE(context.DialogShown);
  EXPECT_EQ(events.errors, "0:General 'GUI' error.;");
}

}  // namespace
