// The error dialog's decisions that depend only on the options and the run: which optional
// controls it has, its band heights, its tabs, its button width and its close-program button.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

class TOskedaModuleOptions;

// The band under the message: 51 pixels for the painted caption bar, else 4.
int HeaderBandHeight(bool bannerLook);

struct TDialogOptionalControls {
  bool Send = false;        // a mail or web channel is set and the report is new
  bool Screenshot = false;  // with Send, when a screenshot is to be attached
  bool Copy = false;
  bool Support = false;  // the support page link
  int BandHeight = 0;    // the check-box band at the bottom: 34, 20 or 0 pixels
};
TDialogOptionalControls DecideOptionalControls(const TOskedaModuleOptions& options, bool duplicate);

struct TDialogChecks {
  bool Send = false;
  bool Screenshot = false;
  bool Copy = false;
};
// The check states a first dialog of the run starts with.
TDialogChecks InitialDialogChecks(const TOskedaModuleOptions& options,
                                  const TDialogOptionalControls& controls);

// The tabs in their order: General, Call Stack, then the optional ones.
enum TDialogTab : int { tabGeneral = 0, tabCallStack, tabModules, tabCpu, tabOther };
struct TDialogTabs {
  std::array<TDialogTab, 5> Order{};
  int Count = 0;
};
TDialogTabs DialogTabs(bool modules, bool cpu, bool custom);
// The position of the tab that FirstTab (low 7 bits) selects among the tabs present. Other
// without a custom tab is General; every hidden tab before it moves it one to the left; a
// value past the last tab selects General.
int FirstTabPosition(std::uint8_t firstTab, bool modules, bool cpu, bool custom);

constexpr int DialogButtonMinWidth = 75;
constexpr int DialogButtonHeight = 25;
// The common width of the three buttons: the widest caption, at least 75 pixels.
int DialogButtonWidth(std::initializer_list<int> captionWidths);

// The close-program button shows from the (after + 1)-th error of the run on.
bool CloseButtonVisible(bool enabled, int errorCount, int closeButtonAfter);

struct TDialogRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  friend bool operator==(const TDialogRect&, const TDialogRect&) = default;
};

struct TDialogLayoutInput {
  int ClientWidth = 0, ClientHeight = 0;
  int HeaderBand = 4;  // HeaderBandHeight
  int BottomBand = 0;  // TDialogOptionalControls::BandHeight
  int ButtonWidth = DialogButtonMinWidth;
  int MessageHeight = 40;
  bool Expanded = false;
  TDialogOptionalControls Controls;
};

struct TDialogLayout {
  TDialogRect Picture, Message, Tabs, Ok, Close, Details, Send, Screenshot, Copy, Support;
};
// Where every control goes in a client area of the given size.
TDialogLayout LayOutDialog(const TDialogLayoutInput& in);
// The client height of the collapsed dialog: header, message, buttons and the bottom band.
int CollapsedClientHeight(int headerBand, int messageHeight, int bottomBand);
