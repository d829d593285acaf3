// The clock window and the about dialog inside the test process, with a fake clock behind the
// real tester window: the tick's texts, the styles and their radio items, the colour commands
// and their failures, the title bar, DPI changes, and screenshots for people to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AboutForm.h"
#include "app/ClockPlacement.h"
#include "app/ClockSettings.h"
#include "app/Unit1.h"
#include "platform/DateTime.h"
#include "platform/gui/ApplicationWin32.h"
#include "platform/FormatSettings.h"
#include "tester/testUTC1.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"
#include "tests/platform/gui/WindowShotWin32.h"
#include "tests/tz/FakeTimeServices.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneCatalogue.h"
#include "platform/win/UniqueHandle.h"

namespace {

std::string OwnSettingsFile() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return SettingsFileName(path);
}

void WriteSettings(const std::string& text) {
  FILE* f = std::fopen(OwnSettingsFile().c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

TIME_ZONE_INFORMATION CatalogueRule(const std::string& keyName) {
  TKtRegistryTimeZones zones;
  for (int i = 0; i < zones.Count(); ++i)
    if (zones.Items(i).KeyName() == keyName) return zones.Items(i).Rule();
  ADD_FAILURE() << "no zone " << keyName;
  return {};
}

// A machine in Central Europe whose clocks read the given local time (standard time).
struct BerlinWinterClock {
  explicit BerlinWinterClock(TDateTime local) {
    fake.zone = CatalogueRule("W. Europe Standard Time");
    fake.answer = TIME_ZONE_ID_STANDARD;
    fake.local = DateTimeToSystemTime(local);
    fake.utc = DateTimeToSystemTime(local - 60 / MinsPerDay);
  }
  FakeTimeServices fake;
  ScopedTimeServices scope{fake};
};

// The clock window with its tester and about dialog, made as the program makes them, with
// no settings file unless the test wrote one. The forms are the test's, freed at its end.
struct Clock {
  explicit Clock(bool keepSettingsFile = false) {
    if (!keepSettingsFile) std::remove(OwnSettingsFile().c_str());
    Application->SetTitle("Dialmoor");
    form = Application->CreateForm<TForm1>();
    form->Tester = Application->CreateForm<TfrmMain>();
    form->About = Application->CreateForm<TfrmAbout>();
    // Read before the first pump: on a busy machine the first second may pass while it runs.
    for (TLabel* l : {form->lblLocalTime, form->lblLocalDate, form->lblUTCTIME, form->lblUTCDate})
      textBeforeFirstTick.push_back(WindowText(l->Handle()));
    captionBeforeFirstTick = WindowText(form->Handle());
    Pump();
  }
  ~Clock() {
    delete form->About;
    delete form->Tester;
    delete form;
    std::remove(OwnSettingsFile().c_str());
  }
  // A command as the pop-up menu sends it.
  void Command(unsigned id) { SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  std::string Text(TControl* c) const { return WindowText(c->Handle()); }
  SIZE ClientSize() const {
    RECT r;
    GetClientRect(form->Handle(), &r);
    return {r.right, r.bottom};
  }
  RECT Bounds() const {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return r;
  }
  bool StyleChecked(TMenuItem* item) const { return item->Checked(); }
  TForm1* form;
  std::vector<std::string> textBeforeFirstTick;  // the four time and date labels
  std::string captionBeforeFirstTick;
};

struct Bevels {
  TBevelCut inner, outer;
  int width;
  bool operator==(const Bevels&) const = default;
};
Bevels BevelsOf(TPanel* p) { return {p->BevelInner(), p->BevelOuter(), p->BevelWidth()}; }

class FormatSettingsGuard {
 public:
  FormatSettingsGuard() : saved_(FormatSettings()) {}
  ~FormatSettingsGuard() { FormatSettings() = saved_; }

 private:
  TFormatSettings saved_;
};

}  // namespace

TEST(ClockWindow, DesignAndFirstRunWithoutSettingsFile) {
  Clock c;
  TForm1* f = c.form;
  EXPECT_EQ(c.captionBeforeFirstTick, "Dialmoor");
  EXPECT_EQ(c.ClientSize().cx, 365);
  EXPECT_EQ(c.ClientSize().cy, 116);
  EXPECT_EQ(c.Bounds().left, 20);
  EXPECT_EQ(c.Bounds().top, 20);
  EXPECT_EQ(f->FormStyle(), fsNormal);
  EXPECT_FALSE(GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(f->BorderStyle(), bsSingle);
  const LONG style = GetWindowLongA(f->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(f->NoTitle1->Checked());
  EXPECT_FALSE(f->OnTop1->Checked());
  EXPECT_EQ(f->Panel1->Color(), clAqua);
  for (TLabel* l : {f->lblLocalTime, f->lblLocalDate, f->lblUTCTIME, f->lblUTCDate})
    EXPECT_EQ(l->Font().Color(), clBlack) << l->Name;
  EXPECT_EQ(c.textBeforeFirstTick, std::vector<std::string>(4, "")) << "empty until the first tick";
  EXPECT_EQ(f->AppearanceCode, 0);
  EXPECT_TRUE(f->Plain1->Checked());
  EXPECT_EQ(BevelsOf(f->Panel1), (Bevels{bvNone, bvRaised, 1}));
  EXPECT_EQ(f->lblLocalTime->Font().Name(), "Arial");
  EXPECT_EQ(f->lblLocalTime->Font().Height(), -27);
  EXPECT_EQ(f->lblLocalDate->Font().Name(), "System");
  EXPECT_EQ(f->lblLocalDate->Font().Height(), -15);
  EXPECT_EQ(f->lblUTCTIME->Left(), 188);
  EXPECT_EQ(f->Panel1->Hint, "Right-Click Mouse to show menu!");
  EXPECT_TRUE(f->Panel1->ShowHint());
  EXPECT_TRUE(f->Timer1->Enabled());
  // About a second: the first tick waits for the UTC second boundary after it.
  EXPECT_GE(f->Timer1->Interval(), 500u);
  EXPECT_LT(f->Timer1->Interval(), 1500u);
  EXPECT_EQ(Application->MainForm(), f);
  EXPECT_FALSE(IsWindowVisible(f->Tester->Handle()));
  EXPECT_FALSE(IsWindowVisible(f->About->Handle()));
}

TEST(ClockWindow, TickCopiesTheTestersTimesAndZone) {
  FormatSettingsGuard guard;
  BerlinWinterClock clock(EncodeDateTime(2026, 12, 7, 9, 5, 3, 0));
  Clock c;
  FormatSettings().LongTimeFormat = "h:nn:ss ampm";
  FormatSettings().DateSeparator = '/';
  FormatSettings().TimeSeparator = ':';
  c.form->Timer1Timer(c.form->Timer1);
  EXPECT_EQ(c.Text(c.form->lblLocalTime), "09:05:03");
  EXPECT_EQ(c.Text(c.form->lblLocalDate), "12/07/2026");
  EXPECT_EQ(c.Text(c.form->lblUTCTIME), "08:05:03");
  EXPECT_EQ(c.Text(c.form->lblUTCDate), "12/07/2026");
  EXPECT_EQ(FormatSettings().LongTimeFormat, "hh:mm:ss");
  const std::string zone = WindowText(c.form->Tester->StaticText1->Handle());
  EXPECT_NE(zone.find("(UTC+01:00)"), std::string::npos) << zone;
  EXPECT_EQ(c.Text(c.form), "Dialmoor - " + zone);

  // Just after midnight UTC the two dates differ; afternoon hours stay 24-hour.
  clock.fake.local = DateTimeToSystemTime(EncodeDateTime(2026, 12, 31, 23, 30, 0, 0) + 0.5 / 24);
  clock.fake.utc = DateTimeToSystemTime(EncodeDateTime(2026, 12, 31, 22, 30, 0, 0) + 0.5 / 24);
  c.form->Timer1Timer(c.form->Timer1);
  EXPECT_EQ(c.Text(c.form->lblLocalTime), "00:00:00");
  EXPECT_EQ(c.Text(c.form->lblLocalDate), "01/01/2027");
  EXPECT_EQ(c.Text(c.form->lblUTCTIME), "23:00:00");
  EXPECT_EQ(c.Text(c.form->lblUTCDate), "12/31/2026");
}

TEST(ClockWindow, TickUsesTheLocalesSeparators) {
  FormatSettingsGuard guard;
  BerlinWinterClock clock(EncodeDateTime(2026, 12, 7, 14, 5, 3, 0));
  Clock c;
  FormatSettings().DateSeparator = '.';
  FormatSettings().TimeSeparator = '.';
  c.form->Timer1Timer(c.form->Timer1);
  EXPECT_EQ(c.Text(c.form->lblLocalDate), "12.07.2026");
  EXPECT_EQ(c.Text(c.form->lblLocalTime), "14.05.03");
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = ':';
  c.form->Timer1Timer(c.form->Timer1);
  EXPECT_EQ(c.Text(c.form->lblUTCDate), "12-07-2026");
  EXPECT_EQ(c.Text(c.form->lblUTCTIME), "13:05:03");
}

TEST(ClockWindow, StylesSetTheBevelsAndCheckOneRadioItem) {
  Clock c;
  TForm1* f = c.form;
  struct Case {
    unsigned command;
    TMenuItem* item;
    Bevels bevels;
  } cases[] = {
      {cmdPictureFrame, f->PictureFrame1, {bvLowered, bvRaised, 3}},
      {cmdChannel, f->Channel1, {bvRaised, bvLowered, 3}},
      {cmdRaised, f->Raised1, {bvRaised, bvRaised, 3}},
      {cmdLowered, f->Lowered1, {bvLowered, bvLowered, 3}},
      {cmdPlain, f->Plain1, {bvNone, bvRaised, 1}},
  };
  TMenuItem* radios[] = {f->Plain1, f->PictureFrame1, f->Channel1, f->Raised1, f->Lowered1};
  for (int i = 0; i < 5; ++i) {
    c.Command(cases[i].command);
    EXPECT_EQ(BevelsOf(f->Panel1), cases[i].bevels) << i;
    EXPECT_EQ(f->AppearanceCode, (i + 1) % 5) << i;
    for (TMenuItem* r : radios) EXPECT_EQ(r->Checked(), r == cases[i].item) << i << r->Name;
  }
}

TEST(ClockWindow, UnknownAppearanceCodeKeepsTheDesignBevelsAndChecksNothing) {
  WriteSettings("[Settings]\r\nAppearance=261\r\nTitleBar=0\r\nOnTop=1\r\n");
  Clock c(true);
  EXPECT_EQ(c.form->AppearanceCode, 5);
  EXPECT_EQ(BevelsOf(c.form->Panel1), (Bevels{bvLowered, bvRaised, 3}));
  for (TMenuItem* r : {c.form->Plain1, c.form->PictureFrame1, c.form->Channel1, c.form->Raised1,
                       c.form->Lowered1})
    EXPECT_FALSE(r->Checked()) << r->Name;
  EXPECT_EQ(c.form->BorderStyle(), bsNone);
  EXPECT_FALSE(c.form->NoTitle1->Checked());
  EXPECT_EQ(c.form->FormStyle(), fsStayOnTop);
  EXPECT_TRUE(c.form->OnTop1->Checked());
  EXPECT_TRUE(GetWindowLongA(c.form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(ClockWindow, OnTopAndTitleBarToggleWithTheirChecks) {
  Clock c;
  c.Command(cmdOnTop);
  EXPECT_TRUE(c.form->StayOnTop);
  EXPECT_TRUE(c.form->OnTop1->Checked());
  EXPECT_TRUE(GetWindowLongA(c.form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  c.Command(cmdOnTop);
  EXPECT_FALSE(c.form->OnTop1->Checked());
  EXPECT_FALSE(GetWindowLongA(c.form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  // Moved by the user first: the toggle keeps the window where it is and the client area.
  SetWindowPos(c.form->Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  c.Command(cmdTitleBar);
  EXPECT_EQ(c.form->BorderStyle(), bsNone);
  EXPECT_FALSE(c.form->NoTitle1->Checked());
  EXPECT_TRUE(GetWindowLongA(c.form->Handle(), GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(c.Bounds().left, 200);
  EXPECT_EQ(c.Bounds().top, 150);
  EXPECT_EQ(c.ClientSize().cx, 365);
  EXPECT_EQ(c.ClientSize().cy, 116);
  c.Command(cmdTitleBar);
  EXPECT_TRUE(c.form->NoTitle1->Checked());
  EXPECT_TRUE(GetWindowLongA(c.form->Handle(), GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(c.Bounds().left, 200);
  EXPECT_EQ(c.ClientSize().cx, 365);
  EXPECT_EQ(c.ClientSize().cy, 116);
}

TEST(ClockWindow, ColourCommands) {
  Clock c;
  TColor offered = -1;
  c.form->ExecuteColorDialog = [&](TColorDialog& d) {
    offered = d.Color;
    d.Color = clRed;
    return true;
  };
  c.form->ColorDialog1->Color = clBlack;
  c.Command(cmdText);  // not preset: the dialog shows what it last held
  EXPECT_EQ(offered, clBlack);
  for (TLabel* l : {c.form->lblLocalTime, c.form->lblLocalDate, c.form->lblUTCTIME, c.form->lblUTCDate})
    EXPECT_EQ(l->Font().Color(), clRed) << l->Name;
  c.form->Panel1->SetColor(clNavy);
  c.Command(cmdBackground);  // preset with the panel's colour
  EXPECT_EQ(offered, clNavy);
  EXPECT_EQ(c.form->Panel1->Color(), clRed);

  c.form->ExecuteColorDialog = [](TColorDialog& d) {
    d.Color = clWhite;
    return false;  // cancelled
  };
  c.Command(cmdBackground);
  c.Command(cmdText);
  EXPECT_EQ(c.form->Panel1->Color(), clRed);
  EXPECT_EQ(c.form->lblUTCDate->Font().Color(), clRed);
}

TEST(ClockWindow, ColourDialogFailures) {
  Clock c;
  c.form->ExecuteColorDialog = [](TColorDialog&) -> bool { throw Exception("no dialog"); };
  {
    MessageBoxAnswerer answer("Dialmoor");
    c.Command(cmdBackground);
    EXPECT_EQ(answer.Text(), "Color selection dialog failed to load");
  }
  EXPECT_EQ(c.form->Panel1->Color(), clAqua);

  // The text command does not catch: the error reaches the application's handling.
  std::string reported;
  Application->OnException = [&](TObject*, std::exception_ptr e) { reported = ExceptionMessage(e); };
  c.Command(cmdText);
  Application->OnException = nullptr;
  EXPECT_EQ(reported, "no dialog");
  EXPECT_EQ(c.form->lblLocalTime->Font().Color(), clBlack);
}

TEST(ClockWindow, DpiChangeScalesTheStripAndItsFonts) {
  Clock c;
  RECT suggested{100, 80, 700, 400};
  SendMessageA(c.form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(c.form->Dpi(), 144u);
  EXPECT_EQ(c.ClientSize().cx, 548);
  EXPECT_EQ(c.ClientSize().cy, 174);
  EXPECT_EQ(c.Bounds().left, 100);
  EXPECT_EQ(c.Bounds().top, 80);
  EXPECT_EQ(c.form->lblUTCTIME->Left(), 282);
  EXPECT_EQ(c.form->lblUTCTIME->Width(), 230);
  EXPECT_EQ(c.form->lblUTCTIME->Font().Height(), -41);
  EXPECT_EQ(c.form->lblUTCDate->Font().Height(), -23);
  // The title bar toggle keeps the scaled client area.
  c.Command(cmdTitleBar);
  EXPECT_EQ(c.ClientSize().cx, 548);
  RECT back{100, 80, 465, 196};
  SendMessageA(c.form->Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(c.ClientSize().cx, 365);
  EXPECT_EQ(c.ClientSize().cy, 116);
  EXPECT_EQ(c.form->lblUTCTIME->Font().Height(), -27);
  EXPECT_EQ(c.form->lblLocalDate->Top(), 52);
}

TEST(ClockWindow, TicksArePhasedJustAfterTheUtcSecond) {
  Clock c;
  for (int attempt = 0; attempt < 100; ++attempt) {
    SYSTEMTIME before, after;
    GetSystemTime(AsWin32(&before));
    c.form->PhaseTimer();
    GetSystemTime(AsWin32(&after));
    if (before.wMilliseconds != after.wMilliseconds) continue;
    const unsigned interval = c.form->Timer1->Interval();
    EXPECT_GE(interval, 500u);
    EXPECT_LT(interval, 1500u);
    EXPECT_EQ((before.wMilliseconds + interval) % 1000, kTickLead);
    return;
  }
  FAIL() << "the clock never stood still for a millisecond";
}

TEST(AboutDialog, LayoutPictureAndCursor) {
  Clock c;
  TfrmAbout* a = c.form->About;
  EXPECT_EQ(c.Text(a), "About");
  RECT r;
  GetClientRect(a->Handle(), &r);
  EXPECT_EQ(r.right, 305);
  EXPECT_EQ(r.bottom, 214);
  EXPECT_EQ(a->BorderStyle(), bsDialog);
  EXPECT_EQ(c.Text(a->lblApp), "Dialmoor");
  EXPECT_EQ(c.Text(a->lblCopyright), kCopyrightLine);
  {
    // The whole line fits its fixed-size label.
    HDC dc = GetDC(a->Handle());
    HGDIOBJ old = SelectObject(dc, a->lblCopyright->Font().Handle());
    SIZE text{};
    GetTextExtentPoint32A(dc, kCopyrightLine, static_cast<int>(sizeof kCopyrightLine - 1), &text);
    SelectObject(dc, old);
    ReleaseDC(a->Handle(), dc);
    EXPECT_LE(text.cx, a->lblCopyright->Width());
  }
  EXPECT_EQ(c.Text(a->lblMe), kMailAddress);
  EXPECT_EQ(c.Text(a->lblUserName), "");
  EXPECT_EQ(c.Text(a->Label1), "Dialmoor's mail address:");
  EXPECT_EQ(a->Image1->PictureSize().cx, 69);
  EXPECT_EQ(a->Image1->PictureSize().cy, 199);
  EXPECT_EQ(a->Image1->Width(), 67);
  EXPECT_EQ(a->Image1->Height(), 197);
  EXPECT_EQ(a->lblMe->Cursor, crHand);
  EXPECT_NE(Application->Cursor(crHand), nullptr) << "the HAND cursor resource";
  EXPECT_EQ(a->cmdOK->ModalResult, mrOk);
  EXPECT_TRUE(a->lblMe->Font().Style() & fsUnderline);
  EXPECT_EQ(a->lblMe->Font().Color(), clBlue);
}

// The registered company as the dialog shows it, in every case the registry can present.
TEST(AboutDialog, CompanyFromTheRegistry) {
  constexpr char kKey[] = "Software\\Microsoft\\MS Setup (ACME)\\User Info";
  struct Case {
    const char* name;
    DWORD type;  // 0: no key at all
    std::string data;
    const char* shown;
  } cases[] = {
      {"missing key", 0, "", ""},
      {"a company", REG_SZ, "Moorland Clocks Ltd", "Moorland Clocks Ltd"},
      {"expandable", REG_EXPAND_SZ, std::string("Heath & Co\0tail", 15), "Heath & Co"},
      {"Unknown", REG_SZ, "Unknown", ""},
      {"empty", REG_SZ, "", ""},
      {"wrong type", REG_DWORD, std::string("\x07\0\0\0", 4), ""},
  };
  for (const Case& k : cases) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    if (k.type) {
      HKEY created = nullptr;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
                ERROR_SUCCESS);
      const UniqueRegKey key(created);
      RegSetValueExA(key.get(), "DefCompany", 0, k.type, reinterpret_cast<const BYTE*>(k.data.data()),
                     static_cast<DWORD>(k.data.size() + (k.type == REG_DWORD ? 0 : 1)));
    }
    TfrmAbout* about = Application->CreateForm<TfrmAbout>();
    EXPECT_EQ(WindowText(about->lblCompany->Handle()), k.shown) << k.name;
    EXPECT_EQ(WindowText(about->lblUserName->Handle()), "") << k.name;
    delete about;
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

namespace {
TfrmAbout* g_about = nullptr;
bool g_aboutWasShown = false;

// Runs inside the dialog's own message loop: looks, then presses Enter (the default button).
void CALLBACK PressEnterInAbout(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_aboutWasShown = IsWindowVisible(g_about->Handle()) && !IsWindowEnabled(Application->MainForm()->Handle());
  PostMessageA(g_about->cmdOK->Handle(), WM_KEYDOWN, VK_RETURN, 0);
}
}  // namespace

TEST(AboutDialog, ShownModallyByTheMenuAndClosedWithEnter) {
  Clock c;
  g_about = c.form->About;
  g_aboutWasShown = false;
  SetTimer(nullptr, 0, 100, &PressEnterInAbout);
  SendMessageA(c.form->Handle(), WM_COMMAND, MAKEWPARAM(cmdAbout, 0), 0);
  EXPECT_TRUE(g_aboutWasShown);
  EXPECT_FALSE(IsWindowVisible(g_about->Handle()));
  EXPECT_EQ(g_about->ModalResult, mrOk);
  EXPECT_TRUE(IsWindowEnabled(c.form->Handle()));
}

// Screenshots of every style, with and without the title bar, and of the about dialog.
TEST(ClockScreenshots, StylesTitleBarAndAbout) {
  const char* dir = std::getenv("DM_SHOT_DIR");
  if (!dir) GTEST_SKIP() << "DM_SHOT_DIR names the folder for the pictures";
  BerlinWinterClock clock(EncodeDateTime(2026, 12, 7, 9, 5, 3, 0));
  Clock c;
  c.form->Timer1->SetEnabled(false);
  c.form->Timer1Timer(c.form->Timer1);
  SetWindowPos(c.form->Handle(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const char* styles[] = {"plain", "pictureframe", "channel", "raised", "lowered"};
  const unsigned commands[] = {cmdPlain, cmdPictureFrame, cmdChannel, cmdRaised, cmdLowered};
  for (int title = 0; title < 2; ++title) {
    for (int i = 0; i < 5; ++i) {
      c.Command(commands[i]);
      Pump();
      const std::string path = std::string(dir) + "/clock-" + styles[i] +
                               (title == 0 ? "-titlebar" : "-borderless") + ".bmp";
      EXPECT_TRUE(SaveWindowShot(c.form->Handle(), path)) << path;
    }
    c.Command(cmdTitleBar);
  }
  TfrmAbout* about = c.form->About;
  about->Show();
  Pump();
  EXPECT_TRUE(SaveWindowShot(about->Handle(), std::string(dir) + "/about.bmp"));
  about->Hide();
}
