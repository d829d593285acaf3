// The error dialog and the reproduce request driven as a user would: each runs on a thread of
// its own, as on the reporting thread, while the test reads and clicks its controls.
#include "platform/win/WinApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/IniFile.h"
#include "report/capture/EOskedaEvents.h"
#include "report/dialog/EDialogStoreWin32.h"
#include "report/dialog/EErrorDialogWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportText.h"
#include "tests/platform/gui/WindowShotWin32.h"
#include "tests/report/text/ReportTestSnapshot.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs a dialog call on its own thread and finds the dialog window it shows.
class DialogThread {
 public:
  explicit DialogThread(std::function<void()> run)
      : thread_([this, run] {
          id_ = GetCurrentThreadId();
          run();
          done_ = true;
        }) {}
  ~DialogThread() {
    if (thread_.joinable()) thread_.join();
  }
  // The visible dialog of the thread other than `previous`; null after the timeout.
  HWND Window(HWND previous = nullptr, int timeoutMs = 10000) const {
    for (const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
         Clock::now() < end && !done_; Sleep(20)) {
      Search s{previous, nullptr};
      EnumThreadWindows(id_, &Find, reinterpret_cast<LPARAM>(&s));
      if (s.found) return s.found;
    }
    return nullptr;
  }
  bool Finish(int timeoutMs = 10000) {
    for (const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
         Clock::now() < end && !done_;)
      Sleep(20);
    if (done_) thread_.join();
    return done_;
  }
  bool Done() const { return done_; }

 private:
  struct Search {
    HWND previous, found;
  };
  static BOOL CALLBACK Find(HWND window, LPARAM parameter) {
    auto* s = reinterpret_cast<Search*>(parameter);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (window != s->previous && IsWindowVisible(window) && std::string(name) == "#32770") {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  }
  std::atomic<DWORD> id_{0};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class CountingEvents final : public IReportEvents {
 public:
  bool ActionNotify(int action) override {
    if (action == atTerminate && withdrawals > 0) {
      --withdrawals;
      return false;
    }
    return true;
  }
  bool ErrorNotify(int, const std::string&) override { return false; }
  void AttachedFiles(std::vector<std::string>&) override {}
  void CustomFields(std::vector<std::string>&, std::vector<std::string>&) override {}
  std::atomic<int> withdrawals{0};
};

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
bool Shown(HWND dialog, int id) { return IsWindowVisible(Item(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) {
  return SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Click(HWND dialog, int id) { PostMessageA(Item(dialog, id), BM_CLICK, 0, 0); }
int SelectedTab(HWND dialog) {
  return static_cast<int>(SendMessageA(Item(dialog, 1000), TCM_GETCURSEL, 0, 0));
}
// Space below the OK button: the margin and the check-box band.
int SpaceBelowOk(HWND dialog) {
  RECT client, ok;
  GetClientRect(dialog, &client);
  GetWindowRect(Item(dialog, 2), &ok);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
  return client.bottom - ok.bottom;
}

class ErrorDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorDialogState();
    DeleteFileA(OskedaLogIniPath().c_str());
    options.SetDialogFlags(TDialogFlags{dfShowDialog, dfShowDetailsButton});
    options.SetLogFlags(TLogFlags{lfModulesSection, lfCpuSection});
    options.SetMailChannel(mcNone);
    options.SetWebChannel(wcNone);
    options.SetSendFlags(TSendFlags{});
    options.SetSaveToLog(false);
    snapshot = CannedSnapshot();
    context.Options = &options;
    context.Events = &events;
    context.Snapshot = &snapshot;
  }
  void Build() {
    report = TReportText::Build(snapshot, options, nullptr);
    context.Report = &report;
    context.Text = report.Text();
  }
  // Shows the dialog for error number `errorCount` of the run.
  std::unique_ptr<DialogThread> Show(int errorCount = 1) {
    Build();
    return std::make_unique<DialogThread>(
        [this, errorCount] { ShowErrorDialog(context, "the message", errorCount); });
  }

  TOskedaModuleOptions options{"test.exe", false};
  TReportSnapshot snapshot;
  TReportText report;
  CountingEvents events;
  TReportContext context;
};

TEST_F(ErrorDialog, SendAndScreenshotBoxesFollowTheChannelAndTheSendBox) {
  auto run = Show();
  HWND plain = run->Window();
  ASSERT_TRUE(plain);
  EXPECT_FALSE(Shown(plain, 3000) || Shown(plain, 4000) || Shown(plain, 5000));
  EXPECT_EQ(SpaceBelowOk(plain), 8) << "no optional box, no band";
  Click(plain, 2);
  ASSERT_TRUE(run->Finish());
  EXPECT_TRUE(context.DialogShown);
  EXPECT_FALSE(context.SendChecked) << "no send box: nothing to send";

  options.SetWebChannel(wcHttp);
  options.SetSendFlags(TSendFlags{sfAttachScreenshot});
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfSendChecked, dfScreenshotChecked});
  ResetErrorDialogState();
  run = Show();
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Shown(dialog, 3000) && Shown(dialog, 4000));
  EXPECT_TRUE(Checked(dialog, 3000) && Checked(dialog, 4000));
  EXPECT_EQ(SpaceBelowOk(dialog), 8 + 34);
  Click(dialog, 3000);
  for (int i = 0; i < 100 && IsWindowEnabled(Item(dialog, 4000)); ++i) Sleep(20);
  EXPECT_FALSE(IsWindowEnabled(Item(dialog, 4000))) << "unchecking send disables the screenshot";
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());
  EXPECT_FALSE(context.SendChecked);
  EXPECT_FALSE(context.ScreenshotChecked) << "a disabled screenshot box is not a request";

  run = Show();
  dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(Checked(dialog, 3000)) << "the choice carries over to the next error";
  Click(dialog, 3000);
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());
  EXPECT_TRUE(context.SendChecked && context.ScreenshotChecked);
}

TEST_F(ErrorDialog, FirstTabCountsOnlyThePresentTabs) {
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfStartExpanded});
  options.SetFirstTab(4);
  auto run = Show();
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(SelectedTab(dialog), 0) << "Other without custom data opens General";
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());

  options.SetLogFlags(TLogFlags{lfCpuSection});
  options.SetFirstTab(3);
  run = Show();
  dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(SendMessageA(Item(dialog, 1000), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SelectedTab(dialog), 2) << "CPU moves into the place of the missing Modules tab";
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());
}

TEST_F(ErrorDialog, CloseButtonFromTheFourthErrorAndItsWithdrawal) {
  auto run = Show(3);
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(Shown(dialog, 3)) << "third error with the default CloseButtonAfter 3";
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());
  EXPECT_FALSE(context.CloseRequested);

  events.withdrawals = 1;
  options.SetCloseButtonAction(cbaTerminate);
  run = Show(4);
  dialog = run->Window();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Shown(dialog, 3));
  char caption[64] = {};
  GetWindowTextA(Item(dialog, 3), caption, sizeof caption);
  EXPECT_STREQ(caption, "&Terminate");
  Click(dialog, 3);
  HWND again = run->Window(dialog);
  ASSERT_TRUE(again) << "the action event withdrew the request: the dialog comes back";
  Click(again, 3);
  ASSERT_TRUE(run->Finish());
  EXPECT_TRUE(context.CloseRequested);
}

TEST_F(ErrorDialog, ClosesAfterTheTimeoutAndCountsAgainAfterInput) {
  options.SetDialogTimeoutSecs(5);
  auto run = Show();
  const auto start = Clock::now();
  ASSERT_TRUE(run->Window());
  ASSERT_TRUE(run->Finish(15000));
  const double idle = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(idle, 4.5);
  EXPECT_LT(idle, 8.0);
  EXPECT_TRUE(context.DialogShown);
  EXPECT_FALSE(context.CloseRequested) << "auto-close is OK";

  run = Show();
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  Sleep(3000);
  PostMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  const auto moved = Clock::now();
  Sleep(3000);
  EXPECT_FALSE(run->Done()) << "the mouse over the dialog restarted the count";
  ASSERT_TRUE(run->Finish(15000));
  const double after = std::chrono::duration<double>(Clock::now() - moved).count();
  EXPECT_GE(after, 4.5);
  EXPECT_LT(after, 8.0);
}

TEST_F(ErrorDialog, WindowStateIsReadPulledBackAndWritten) {
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfStartExpanded});
  const std::string path = OskedaLogIniPath();
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  {
    TIniFile ini(path);
    ini.WriteInteger("Coordinates", "Width", 600);
    ini.WriteInteger("Coordinates", "Height", 400);
    ini.WriteInteger("Coordinates", "Left", screenWidth + 500);
    ini.WriteInteger("Coordinates", "Top", -40);
    ini.WriteInteger("Coordinates", "Col3", 77);
  }
  auto run = Show();
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  RECT r;
  GetWindowRect(dialog, &r);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(r.bottom - r.top, 400);
  EXPECT_EQ(r.right, screenWidth) << "pulled back to the right edge";
  EXPECT_EQ(r.top, 0) << "a negative top is 0";
  SetWindowPos(dialog, nullptr, 30, 40, 650, 420, SWP_NOZORDER);
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());

  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "Left", -1), 30);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "Top", -1), 40);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "Width", -1), 650);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "Height", -1), 420);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "WindowsState", -1), 1);
  EXPECT_EQ(ini.ReadInteger("Coordinates", "Col3", -1), 77) << "column widths go back";
  EXPECT_EQ(ini.ReadInteger("Coordinates", "ColMod6", -1), 250);
}

TEST_F(ErrorDialog, ReproduceRequestAddsSectionEight) {
  options.SetLogFlags(TLogFlags{lfAskReproduce});
  options.SetSaveToLog(true);
  Build();
  DialogThread run([this] { ShowReproduceRequest(context, true); });
  HWND request = run.Window();
  ASSERT_TRUE(request);
  SendMessageA(Item(request, 101), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("  Opened the menu.\r\nChose Colors.  \r\n"));
  Click(request, 2);
  ASSERT_TRUE(run.Finish());
  EXPECT_NE(context.Text.find("  8.1 : Opened the menu.\r\n"), std::string::npos) << context.Text;
  EXPECT_NE(context.Text.find("Chose Colors.\r\n"), std::string::npos);

  context.Duplicate = true;
  DialogThread duplicate([this] { ShowReproduceRequest(context, true); });
  EXPECT_TRUE(duplicate.Finish(3000)) << "a duplicate asks nothing";
}

// Pictures for people to look at, taken on a virtual desktop; not run as a check.
class DialogScreenshots : public ErrorDialog {
 protected:
  void SetUp() override {
    if (!std::getenv("DM_SHOT_DIR")) GTEST_SKIP() << "screenshots are taken on their own";
    ErrorDialog::SetUp();
  }
  void Shot(HWND window, const std::string& name) {
    const char* folder = std::getenv("DM_SHOT_DIR");
    ASSERT_TRUE(folder);
    Sleep(300);
    EXPECT_TRUE(SaveWindowShot(window, std::string(folder) + "/" + name + ".bmp"));
  }
  void SelectTab(HWND dialog, int position) {
    HWND tabs = Item(dialog, 1000);
    RECT r;
    SendMessageA(tabs, TCM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tabs, WM_LBUTTONUP, 0, at);
    for (int i = 0; i < 50 && SelectedTab(dialog) != position; ++i) Sleep(20);
  }
};

TEST_F(DialogScreenshots, BannerAndPlainCollapsedAndExpanded) {
  options.SetWebChannel(wcHttp);
  options.SetSendFlags(TSendFlags{sfAttachScreenshot});
  options.SetSupportPage("http://support.invalid/");
  context.CustomData = "Clock style: raised\nColors: aqua on black";
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfSendChecked, dfShowCopyOption,
                                      dfShowDetailsButton, dfBannerLook});
  auto run = Show(5);
  HWND dialog = run->Window();
  ASSERT_TRUE(dialog);
  Shot(dialog, "dialog-banner-collapsed");
  Click(dialog, 4);
  for (int i = 0; i < 100 && !IsWindowVisible(Item(dialog, 1000)); ++i) Sleep(20);
  const char* tabs[] = {"general", "callstack", "modules", "cpu", "other"};
  for (int position = 0; position < 5; ++position) {
    SelectTab(dialog, position);
    Shot(dialog, std::string("dialog-banner-expanded-") + tabs[position]);
  }
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());

  ResetErrorDialogState();
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfShowDetailsButton});
  run = Show();
  dialog = run->Window();
  ASSERT_TRUE(dialog);
  Shot(dialog, "dialog-plain-collapsed");
  Click(dialog, 4);
  for (int i = 0; i < 100 && !IsWindowVisible(Item(dialog, 1000)); ++i) Sleep(20);
  Shot(dialog, "dialog-plain-expanded");
  Click(dialog, 2);
  ASSERT_TRUE(run->Finish());

  options.SetLogFlags(TLogFlags{lfAskReproduce});
  options.SetSaveToLog(true);
  DialogThread request([this] { ShowReproduceRequest(context, true); });
  HWND window = request.Window();
  ASSERT_TRUE(window);
  Shot(window, "reproduce-request");
  Click(window, 2);
  ASSERT_TRUE(request.Finish());
}

}  // namespace
