#include "report/dialog/EDialogRules.h"

#include <gtest/gtest.h>

#include "report/options/ECoreOptions.h"

namespace {

struct DialogRules : ::testing::Test {
  TOskedaModuleOptions options{"test.exe", false};
  void SetUp() override {
    options.SetMailChannel(mcNone);
    options.SetWebChannel(wcNone);
    options.SetSendFlags(TSendFlags{});
    options.SetDialogFlags(TDialogFlags{dfShowDialog});
    options.SetSupportPage("");
  }
};

TEST_F(DialogRules, OptionalControlsAndBandHeight) {
  EXPECT_EQ(DecideOptionalControls(options, false).BandHeight, 0);

  options.SetSendFlags(TSendFlags{sfAttachScreenshot});
  auto c = DecideOptionalControls(options, false);
  EXPECT_FALSE(c.Send) << "no channel, no send box";
  EXPECT_FALSE(c.Screenshot) << "the screenshot box needs the send box";

  options.SetWebChannel(wcHttp);
  c = DecideOptionalControls(options, false);
  EXPECT_TRUE(c.Send && c.Screenshot);
  EXPECT_EQ(c.BandHeight, 34);
  c = DecideOptionalControls(options, true);
  EXPECT_FALSE(c.Send || c.Screenshot) << "a duplicate is not offered for sending";

  options.SetSendFlags(TSendFlags{});
  options.SetMailChannel(mcSmtpClient);
  options.SetWebChannel(wcNone);
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfShowCopyOption});
  c = DecideOptionalControls(options, false);
  EXPECT_TRUE(c.Send && c.Copy && !c.Support);
  EXPECT_EQ(c.BandHeight, 20) << "send and copy share one row";

  options.SetMailChannel(mcNone);
  options.SetSupportPage("   ");
  EXPECT_EQ(DecideOptionalControls(options, false).BandHeight, 20) << "a blank page is no link";
  options.SetSupportPage("http://support.example/");
  EXPECT_EQ(DecideOptionalControls(options, false).BandHeight, 34);
}

TEST_F(DialogRules, InitialChecksFollowTheFlagsOnlyWhereTheBoxExists) {
  options.SetDialogFlags(TDialogFlags{dfShowDialog, dfSendChecked, dfScreenshotChecked});
  options.SetSendFlags(TSendFlags{sfAttachScreenshot});
  auto checks = InitialDialogChecks(options, DecideOptionalControls(options, false));
  EXPECT_FALSE(checks.Send || checks.Screenshot);
  options.SetWebChannel(wcFtp);
  checks = InitialDialogChecks(options, DecideOptionalControls(options, false));
  EXPECT_TRUE(checks.Send && checks.Screenshot);
  EXPECT_FALSE(checks.Copy);
}

TEST(DialogTabsRule, FirstTabMapsOntoThePresentTabs) {
  EXPECT_EQ(FirstTabPosition(4, true, true, false), 0) << "Other without custom data";
  EXPECT_EQ(FirstTabPosition(4, true, true, true), 4);
  EXPECT_EQ(FirstTabPosition(3, false, true, false), 2) << "CPU moves left past Modules";
  EXPECT_EQ(FirstTabPosition(4, false, false, true), 2);
  EXPECT_EQ(FirstTabPosition(0x80 | 1, true, true, true), 1) << "only the low 7 bits count";
  EXPECT_EQ(FirstTabPosition(3, false, false, false), 0) << "no tab there: General";
  EXPECT_EQ(FirstTabPosition(9, true, true, true), 0);
  const TDialogTabs tabs = DialogTabs(false, true, true);
  ASSERT_EQ(tabs.Count, 4);
  EXPECT_EQ(tabs.Order[2], tabCpu);
  EXPECT_EQ(tabs.Order[3], tabOther);
}

TEST(DialogButtons, WidthAndCloseButton) {
  EXPECT_EQ(DialogButtonWidth({40, 60, 52}), 75);
  EXPECT_EQ(DialogButtonWidth({40, 97, 52}), 97);
  EXPECT_FALSE(CloseButtonVisible(true, 3, 3));
  EXPECT_TRUE(CloseButtonVisible(true, 4, 3)) << "from the fourth error with the default 3";
  EXPECT_FALSE(CloseButtonVisible(false, 9, 3));
  EXPECT_TRUE(CloseButtonVisible(true, 1, 0));
}

TEST(DialogLayoutRule, ControlsNeitherOverlapNorLeaveTheClientArea) {
  TDialogLayoutInput in;
  in.ClientWidth = 600;
  in.ClientHeight = 400;
  in.HeaderBand = 51;
  in.BottomBand = 34;
  in.ButtonWidth = 90;
  in.Expanded = true;
  in.Controls = {true, true, true, true, 34};
  const TDialogLayout l = LayOutDialog(in);
  EXPECT_EQ(l.Ok.Left + l.Ok.Width / 2, 300) << "OK is centred";
  EXPECT_EQ(l.Ok.Top + l.Ok.Height, 400 - 34 - 8) << "OK sits above the band";
  EXPECT_EQ(l.Close.Left, 8);
  EXPECT_EQ(l.Details.Left + l.Details.Width, 592);
  EXPECT_EQ(l.Send.Width, 296);
  EXPECT_EQ(l.Copy.Left + l.Copy.Width, 596);
  EXPECT_LE(l.Send.Left + l.Send.Width, l.Copy.Left);
  EXPECT_GT(l.Screenshot.Top, l.Send.Top);
  EXPECT_LE(l.Screenshot.Top + l.Screenshot.Height, 400);
  EXPECT_GE(l.Tabs.Top, l.Message.Top + l.Message.Height);
  EXPECT_LE(l.Tabs.Top + l.Tabs.Height, l.Ok.Top);
  EXPECT_GE(l.Message.Top, 51);

  in.Expanded = false;
  in.ClientHeight = CollapsedClientHeight(in.HeaderBand, in.MessageHeight, in.BottomBand);
  const TDialogLayout c = LayOutDialog(in);
  EXPECT_EQ(c.Tabs.Height, 0);
  EXPECT_GE(c.Ok.Top, c.Message.Top + c.Message.Height);
}

}  // namespace
