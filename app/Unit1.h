// The clock window: a strip with the local time and date on the left and UTC on the right,
// copied once a second from the hidden tester window, with a right-click menu for its look.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/ClockCommands.h"
#include "app/DpiWin32.h"
#include "platform/gui/DialogsWin32.h"
#include "platform/gui/ExtCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/gui/MenusWin32.h"
#include "platform/gui/StdCtrlsWin32.h"

class TfrmMain;
class TfrmAbout;

class TForm1 : public TForm {
 public:
  TForm1();
  const char* ClassName() const noexcept override { return "TForm1"; }

  TPanel* Panel1;
  TLabel *lblLocalTime, *lblLocalDate, *lblUTCTIME, *lblUTCDate;
  TTimer* Timer1;
  TColorDialog* ColorDialog1;
  TPopupMenu* PopupMenu1;
  TMenuItem *OnTop1, *NoTitle1, *Appearance1, *Plain1, *PictureFrame1, *Channel1, *Raised1,
      *Lowered1, *Color1, *Background1, *Text1, *Info1, *Exit1;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Timer1Timer(TObject* Sender);
  void OnTop1Click(TObject* Sender);
  void NoTitle1Click(TObject* Sender);
  void Plain1Click(TObject* Sender);
  void PictureFrame1Click(TObject* Sender);
  void Channel1Click(TObject* Sender);
  void Raised1Click(TObject* Sender);
  void Lowered1Click(TObject* Sender);
  void Background1Click(TObject* Sender);
  void Text1Click(TObject* Sender);
  void Info1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void SetTitleBar(bool Visible);

  // The tester that computes "now" and the about dialog; set by the program entry once both
  // exist (ticks and menu commands come only from the message loop, after that).
  TfrmMain* Tester = nullptr;
  TfrmAbout* About = nullptr;

  bool StayOnTop = false;
  bool HeadingFlag = false;
  std::uint8_t AppearanceCode = 0;
  std::string IniFileName;

  // How the colour dialog is run; tests put a failing dialog here.
  std::function<bool(TColorDialog&)> ExecuteColorDialog = [](TColorDialog& d) { return d.Execute(); };

  // The monitor's dots per inch the strip is laid out for.
  UINT Dpi() const noexcept { return dpi_; }
  void ScaleToDpi(UINT dpi);
  // Where the window is on the screen now (moves by the title bar included).
  RECT ScreenBounds() const;
  // Where the window is when it is neither minimised nor maximised: the position to keep.
  RECT RestoredBounds() const;
  // Arms the timer to fire just after the next UTC second boundary, about a second away.
  void PhaseTimer();

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BuildMenu();
  void ApplyStayOnTop();
  void ApplyStyle(std::uint8_t code, TBevelCut inner, TBevelCut outer, int width, TMenuItem* item);
  void SetTextColor(TColor color);
  // The runtime keeps the bounds it last set; the user may have moved the window since.
  void SyncBounds();
  TMenuItem* NewItem(TComponent* owner, const char* name, const char* caption,
                     void (TForm1::*handler)(TObject*), unsigned command);

  TMenuCommands commands_;
  UINT dpi_ = kDesignDpi;
};
