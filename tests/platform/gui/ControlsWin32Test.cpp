#include <gtest/gtest.h>

#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/ExtCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/SpinWin32.h"
#include "platform/gui/StdCtrlsWin32.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"

namespace {

class TPanelForm : public TForm {
 public:
  TPanelForm() {
    SetCaption("Controls");
    SetBorderStyle(bsSingle);
    SetClientSize(400, 300);
    grp = new TGroupBox(this);
    grp->SetBounds(200, 10, 190, 200);
    btnNow = new TButton(grp);
    btnNow->SetBounds(8, 20, 165, 25);
    btnNow->SetCaption("&Now");
    btnNow->OnClick = Handler(this, &TPanelForm::btnNowClick);
    lblMonth = new TLabel(grp);
    lblMonth->SetBounds(8, 60, 0, 0);
    lblMonth->SetCaption("Month:");
    StMonth = new TSpinEdit(grp);
    StMonth->SetBounds(60, 56, 41, 22);
    StMonth->SetRange(1, 12);
    StMonth->SetValue(1);
    StMonth->Hint = "starting month";
    outBias = new TEdit(this);
    outBias->SetBounds(8, 8, 41, 21);
    outBias->SetReadOnly(true);
    outBias->SetParentColor(true);
    edit = new TEdit(this);
    edit->SetBounds(8, 40, 100, 21);
    edit->OnChange = [this](TObject* Sender) { changes.push_back(Sender); };
    outStandard = new TMemo(this);
    outStandard->SetBounds(8, 70, 180, 60);
    outStandard->SetReadOnly(true);
    StaticText2 = new TStaticText(this);
    StaticText2->SetBounds(8, 140, 180, 18);
    StaticText2->SetBorderStyle(sbsSunken);
    StaticText2->Hint = "current status of time zone";
    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetSimplePanel(true);
    Hint = "the form's own hint";
    Application->OnHint = Handler(this, &TPanelForm::DisplayHint);
    SetVisible(true);
  }
  ~TPanelForm() override { Application->OnHint = nullptr; }

  void btnNowClick(TObject* Sender) {
    senders.push_back(Sender);
    if (throwText) throw EConvertError(throwText);
  }
  void DisplayHint(TObject*) { StatusBar1->SetSimpleText(Application->Hint()); }

  TGroupBox* grp;
  TButton* btnNow;
  TLabel* lblMonth;
  TSpinEdit* StMonth;
  TEdit* outBias;
  TEdit* edit;
  TMemo* outStandard;
  TStaticText* StaticText2;
  TStatusBar* StatusBar1;
  std::vector<TObject*> senders;
  std::vector<TObject*> changes;
  const char* throwText = nullptr;
};

// Replaces the application's exception event for one test and records what reaches it.
class ExceptionRecorder {
 public:
  ExceptionRecorder() {
    Application->OnException = [this](TObject* Sender, std::exception_ptr E) {
      senders.push_back(Sender);
      messages.push_back(ExceptionMessage(E));
    };
  }
  ~ExceptionRecorder() { Application->OnException = nullptr; }
  std::vector<TObject*> senders;
  std::vector<std::string> messages;
};

TEST(Controls, AButtonInAGroupBoxRunsItsHandlerWithItselfAsSender) {
  FormHolder<TPanelForm> f;
  SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(f->senders.size(), 1u);
  EXPECT_EQ(f->senders[0], f->btnNow);
  f->btnNow->Click();  // as the clock performs it
  EXPECT_EQ(f->senders.size(), 2u);
}

TEST(Controls, AnExceptionInAHandlerReachesHandleExceptionAndTheProgramGoesOn) {
  FormHolder<TPanelForm> f;
  ExceptionRecorder recorder;
  f->throwText = "Invalid argument to date encode";
  SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.senders[0], f->btnNow);
  EXPECT_EQ(recorder.messages[0], "Invalid argument to date encode");
  f->throwText = nullptr;
  SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(f->senders.size(), 2u);
  EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(Controls, WithoutAHookTheExceptionIsShownInAMessageBoxAndAbortIsSilent) {
  FormHolder<TPanelForm> f;
  Application->SetTitle("Dialmoor GUI test");
  f->throwText = "Unable to write to C:\\x.INI";
  {
    MessageBoxAnswerer answerer("Dialmoor GUI test");
    SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(answerer.Text(), "Unable to write to C:\\x.INI.");
  }
  // A replacement handler that fails itself still lets the user see the original error.
  Application->OnException = [](TObject*, std::exception_ptr) {
    throw std::runtime_error("the reporter broke");
  };
  {
    MessageBoxAnswerer answerer("Dialmoor GUI test");
    SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(answerer.Text(), "Unable to write to C:\\x.INI.");
  }
  Application->OnException = nullptr;
  const int before = Application->HandledExceptionCount();
  f->btnNow->OnClick = [](TObject*) { throw EAbort("Operation aborted"); };
  SendMessageA(f->btnNow->Handle(), BM_CLICK, 0, 0);  // would block in a message box if shown
  EXPECT_EQ(Application->HandledExceptionCount(), before + 1);
}

TEST(Controls, TextsAreWhatTheWindowsShow) {
  FormHolder<TPanelForm> f;
  EXPECT_EQ(WindowText(f->Handle()), "Controls");
  EXPECT_EQ(WindowText(f->btnNow->Handle()), "&Now");
  EXPECT_EQ(WindowText(f->lblMonth->Handle()), "Month:");
  EXPECT_GT(f->lblMonth->Width(), 10);  // sized to its caption
  f->StaticText2->SetCaption("W. Europe Standard Time");
  EXPECT_EQ(WindowText(f->StaticText2->Handle()), "W. Europe Standard Time");
  EXPECT_TRUE(GetWindowLongA(f->StaticText2->Handle(), GWL_STYLE) & SS_SUNKEN);
  f->outBias->SetText("-60");
  EXPECT_EQ(WindowText(f->outBias->Handle()), "-60");
  EXPECT_TRUE(GetWindowLongA(f->outBias->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST(Controls, EditsRaiseOnChangeForTypedAndSetTextButNotWhenReadOnly) {
  FormHolder<TPanelForm> f;
  SendMessageA(f->edit->Handle(), WM_CHAR, '4', 0);
  SendMessageA(f->edit->Handle(), WM_CHAR, '2', 0);
  EXPECT_EQ(f->edit->Text(), "42");
  EXPECT_EQ(f->changes.size(), 2u);
  f->edit->SetText("x");
  EXPECT_EQ(f->changes.size(), 3u);
  EXPECT_EQ(f->changes.back(), f->edit);
  SendMessageA(f->outBias->Handle(), WM_CHAR, '7', 0);
  EXPECT_EQ(f->outBias->Text(), "");
}

TEST(Controls, MemoLinesAreSeparatedByCrLf) {
  FormHolder<TPanelForm> f;
  TMemoLines& lines = f->outStandard->Lines();
  EXPECT_EQ(lines.Count(), 0);
  lines.Add("GMT Standard Time, 0 minute bias");
  lines.Add("Starts on last Sunday of October at 01:00:00 GMT");
  EXPECT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Strings(1), "Starts on last Sunday of October at 01:00:00 GMT");
  EXPECT_EQ(WindowText(f->outStandard->Handle()),
            "GMT Standard Time, 0 minute bias\r\nStarts on last Sunday of October at 01:00:00 GMT");
  EXPECT_THROW(lines.Strings(2), EListError);
  f->outStandard->SetSelStartAndScroll(0);
  DWORD start = 1, end = 1;
  SendMessageA(f->outStandard->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  f->outStandard->Clear();
  EXPECT_EQ(lines.Count(), 0);
}

TEST(Controls, TheStatusBarShowsTheHintOfTheControlUnderTheMouse) {
  FormHolder<TPanelForm> f;
  PostMessageA(f->StMonth->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  Pump();
  EXPECT_EQ(Application->Hint(), "starting month");
  EXPECT_EQ(StatusText(f->StatusBar1->Handle()), "starting month");
  PostMessageA(f->StaticText2->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  Pump();
  EXPECT_EQ(StatusText(f->StatusBar1->Handle()), "current status of time zone");
  // The arrows of a spin edit count as the spin edit.
  PostMessageA(f->StMonth->UpDownHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  Pump();
  EXPECT_EQ(StatusText(f->StatusBar1->Handle()), "starting month");
  // A control without a hint of its own shows its parents'.
  PostMessageA(f->edit->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  Pump();
  EXPECT_EQ(StatusText(f->StatusBar1->Handle()), "the form's own hint");
}

TEST(Controls, TheStatusBarSitsAtTheBottomOfTheForm) {
  FormHolder<TPanelForm> f;
  RECT bar, client;
  GetWindowRect(f->StatusBar1->Handle(), &bar);
  GetClientRect(f->Handle(), &client);
  POINT bottomRight{client.right, client.bottom};
  ClientToScreen(f->Handle(), &bottomRight);
  EXPECT_EQ(bar.bottom, bottomRight.y);
  EXPECT_EQ(bar.right, bottomRight.x);
  EXPECT_GT(bar.bottom - bar.top, 10);
}

TEST(Controls, EnabledAndVisibleReachTheWindows) {
  FormHolder<TPanelForm> f;
  f->StMonth->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(f->StMonth->Handle()));
  EXPECT_FALSE(IsWindowEnabled(f->StMonth->UpDownHandle()));
  f->StMonth->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(f->StMonth->UpDownHandle()));
  f->outBias->Hide();
  EXPECT_FALSE(IsWindowVisible(f->outBias->Handle()));
  f->outBias->Show();
  EXPECT_TRUE(IsWindowVisible(f->outBias->Handle()));
  f->btnNow->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(f->btnNow->Handle()));
}

TEST(Controls, AltAndTheMarkedLetterOfALabelFocusesItsFocusControl) {
  FormHolder<TPanelForm> f;
  auto* label = new TLabel(f.form);
  label->SetBounds(120, 40, 0, 0);
  label->SetCaption("&Local time:");
  label->FocusControl = f->outStandard;
  f->btnNow->SetFocus();
  ASSERT_EQ(GetFocus(), f->btnNow->Handle());
  PostMessageA(f->btnNow->Handle(), WM_SYSCHAR, 'L', 1 << 29);
  Pump();
  EXPECT_EQ(GetFocus(), f->outStandard->Handle());
  EXPECT_EQ(MnemonicOf("Start of &Daylight Saving Time"), 'd');
  EXPECT_EQ(MnemonicOf("R&&D &Now"), 'n');
  EXPECT_EQ(MnemonicOf("no mark&"), 0);
}

BOOL CALLBACK FindTooltip(HWND w, LPARAM found) {
  char cls[64];
  GetClassNameA(w, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(found) = w;
  return TRUE;
}

TEST(Controls, ShowHintGivesTheControlATooltipWithTheShortHint) {
  FormHolder<TPanelForm> f;
  f->StaticText2->Hint = "Right-Click Mouse to show menu!|status line text";
  f->StaticText2->SetShowHint(true);
  ASSERT_TRUE(f->StaticText2->ShowHint());
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[80] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = f->StaticText2->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(f->StaticText2->Handle());
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Right-Click Mouse to show menu!");
  f->StaticText2->SetShowHint(false);
  EXPECT_FALSE(IsWindow(tooltip));
}

// The mouse resting on a control of our own classes with a hint opens its tooltip: the control
// relays its mouse messages to the tooltip itself.
void ExpectTooltipShownOver(TControl* control, TControl* tipped) {
  tipped->SetShowHint(true);
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
  RECT r;
  GetWindowRect(control->Handle(), &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SetCursorPos(centre.x, centre.y);
  POINT client = centre;
  ScreenToClient(control->Handle(), &client);
  PostMessageA(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
  bool shown = false;
  for (int i = 0; i < 500 && !shown; ++i) {
    Pump(1);
    shown = IsWindowVisible(tooltip);
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_TRUE(shown) << "window under the cursor " << WindowFromPoint(centre) << ", control "
                     << control->Handle() << ", cursor " << cursor.x << "," << cursor.y << " centre "
                     << centre.x << "," << centre.y;
  if (control != tipped) {
    char text[80] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = control->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control->Handle());
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::string(text), GetShortHint(tipped->Hint));
  }
  tipped->SetShowHint(false);
}

// The mouse is shared with the tests running beside this one: the form moves so that the
// label sits in the bottom right corner of the screen, where no other test puts a window, and
// the mouse stays there (moving it back could land it on another test's window).
void ExpectTooltipOverTheLabel(TPanelForm* f, TControl* tipped) {
  RECT form, label;
  GetWindowRect(f->Handle(), &form);
  GetWindowRect(f->lblMonth->Handle(), &label);
  const int corner = 12;
  f->SetBounds(GetSystemMetrics(SM_CXSCREEN) - corner - (label.right - form.left),
               GetSystemMetrics(SM_CYSCREEN) - corner - (label.bottom - form.top), f->Width(),
               f->Height());
  ExpectTooltipShownOver(f->lblMonth, tipped);
}

TEST(Controls, TheTooltipOpensWhereTheMouseRests) {
  FormHolder<TPanelForm> f;
  f->lblMonth->Hint = "Right-Click Mouse to show menu!";
  ExpectTooltipOverTheLabel(f.form, f->lblMonth);
}

// A label without a hint of its own, on a form showing its hint, shows the form's tooltip.
TEST(Controls, AControlWithoutAHintShowsItsParentsTooltip) {
  FormHolder<TPanelForm> f;
  ExpectTooltipOverTheLabel(f.form, f.form);
}

}  // namespace
