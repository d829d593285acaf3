#include "report/dialog/EDialogRules.h"

#include <algorithm>

#include "report/options/ECoreOptions.h"

namespace {

constexpr int Margin = 8;
constexpr int PictureSize = 32;
constexpr int CheckHeight = 16;
constexpr int CheckRow = 17;

bool Blank(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

int HeaderBandHeight(bool bannerLook) { return bannerLook ? 51 : 4; }

TDialogOptionalControls DecideOptionalControls(const TOskedaModuleOptions& options,
                                               bool duplicate) {
  TDialogOptionalControls c;
  const bool channel = options.MailChannel() != mcNone || options.WebChannel() != wcNone;
  c.Send = channel && !duplicate;
  c.Screenshot = c.Send && options.SendFlags().Contains(sfAttachScreenshot);
  c.Copy = options.DialogFlags().Contains(dfShowCopyOption);
  c.Support = !Blank(options.SupportPage());
  if ((c.Send && c.Screenshot) || (c.Copy && c.Support))
    c.BandHeight = 34;
  else if (c.Send || c.Screenshot || c.Copy || c.Support)
    c.BandHeight = 20;
  return c;
}

TDialogChecks InitialDialogChecks(const TOskedaModuleOptions& options,
                                  const TDialogOptionalControls& controls) {
  TDialogChecks checks;
  const TDialogFlags flags = options.DialogFlags();
  checks.Send = controls.Send && flags.Contains(dfSendChecked);
  checks.Screenshot = controls.Screenshot && flags.Contains(dfScreenshotChecked);
  return checks;
}

TDialogTabs DialogTabs(bool modules, bool cpu, bool custom) {
  TDialogTabs tabs;
  tabs.Order[tabs.Count++] = tabGeneral;
  tabs.Order[tabs.Count++] = tabCallStack;
  if (modules) tabs.Order[tabs.Count++] = tabModules;
  if (cpu) tabs.Order[tabs.Count++] = tabCpu;
  if (custom) tabs.Order[tabs.Count++] = tabOther;
  return tabs;
}

int FirstTabPosition(std::uint8_t firstTab, bool modules, bool cpu, bool custom) {
  int wanted = firstTab & 0x7F;
  if (wanted == tabOther && !custom) wanted = tabGeneral;
  int position = wanted;
  if (wanted > tabModules && !modules) --position;
  if (wanted > tabCpu && !cpu) --position;
  const int count = DialogTabs(modules, cpu, custom).Count;
  return position < count ? position : 0;
}

int DialogButtonWidth(std::initializer_list<int> captionWidths) {
  int width = DialogButtonMinWidth;
  for (int w : captionWidths) width = std::max(width, w);
  return width;
}

bool CloseButtonVisible(bool enabled, int errorCount, int closeButtonAfter) {
  return enabled && errorCount > closeButtonAfter;
}

int CollapsedClientHeight(int headerBand, int messageHeight, int bottomBand) {
  return headerBand + Margin + messageHeight + Margin + DialogButtonHeight + Margin + bottomBand;
}

TDialogLayout LayOutDialog(const TDialogLayoutInput& in) {
  TDialogLayout l;
  const int width = std::max(in.ClientWidth, 0);
  const int messageTop = in.HeaderBand + Margin;
  l.Picture = {Margin, messageTop + std::max(0, (in.MessageHeight - PictureSize) / 2), PictureSize,
               PictureSize};
  const int messageLeft = Margin + PictureSize + Margin;
  l.Message = {messageLeft, messageTop, std::max(0, width - messageLeft - Margin),
               in.MessageHeight};

  const int bandTop = std::max(in.ClientHeight - in.BottomBand, 0);
  const int buttonTop = std::max(bandTop - Margin - DialogButtonHeight, 0);
  l.Ok = {(width - in.ButtonWidth) / 2, buttonTop, in.ButtonWidth, DialogButtonHeight};
  l.Close = {Margin, buttonTop, in.ButtonWidth, DialogButtonHeight};
  l.Details = {width - Margin - in.ButtonWidth, buttonTop, in.ButtonWidth, DialogButtonHeight};

  if (in.Expanded) {
    const int tabsTop = messageTop + in.MessageHeight + Margin;
    l.Tabs = {Margin, tabsTop, std::max(0, width - 2 * Margin),
              std::max(0, buttonTop - Margin - tabsTop)};
  }

  const int half = std::max(0, width / 2 - 4);
  const int rightLeft = width - 4 - half;
  int leftRow = 0, rightRow = 0;
  const auto row = [&](int& n) { return bandTop + 1 + CheckRow * n++; };
  if (in.Controls.Send) l.Send = {4, row(leftRow), half, CheckHeight};
  if (in.Controls.Screenshot) l.Screenshot = {4, row(leftRow), half, CheckHeight};
  if (in.Controls.Copy) l.Copy = {rightLeft, row(rightRow), half, CheckHeight};
  if (in.Controls.Support) l.Support = {rightLeft, row(rightRow), half, CheckHeight};
  return l;
}
