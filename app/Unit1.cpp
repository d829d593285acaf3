#include "app/Unit1.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "app/AboutForm.h"
#include "app/ClockSettings.h"
#include "app/ClockPlacement.h"
#include "app/DpiWin32.h"
#include "platform/gui/Application.h"
#include "platform/FormatDateTime.h"
#include "platform/FormatSettings.h"
#include "tester/testUTC1.h"

namespace {

constexpr int kClientWidth = 365, kClientHeight = 116;

struct LabelDesign {
  int left, top, width, height;
  bool large;  // Arial -27 bold; else the panel's font
};
constexpr LabelDesign kLocalTime{20, 12, 153, 32, true};
constexpr LabelDesign kLocalDate{20, 52, 153, 16, false};
constexpr LabelDesign kUTCTime{188, 12, 153, 32, true};
constexpr LabelDesign kUTCDate{188, 52, 153, 16, false};
constexpr int kPanelFontHeight = -15, kLargeFontHeight = -27, kFormFontHeight = -11;

// The whole path however long it is: a cut path would name another program's settings file.
std::string ExecutableName() {
  return ReadGrowingText([](char* buffer, std::size_t size) -> std::size_t {
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    return length;
  });
}

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info))
    reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(ToScreenRect(info.rcWork));
  return TRUE;
}

std::vector<ScreenRect> WorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// Where a window of this size at the stored position is shown: there when it can be seen,
// else on the work area of the monitor nearest to it.
ScreenRect VisiblePlace(const ScreenRect& stored) {
  if (UsefullyVisible(stored, WorkAreas())) return stored;
  auto clampToInt = [](std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
  };
  const RECT probe{clampToInt(stored.left), clampToInt(stored.top), clampToInt(stored.right),
                   clampToInt(stored.bottom)};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&probe, MONITOR_DEFAULTTONEAREST), &info)) return stored;
  return MoveIntoArea(stored, ToScreenRect(info.rcWork));
}

unsigned MillisecondsIntoUtcSecond() {
  SYSTEMTIME now;
  GetSystemTime(AsWin32(&now));
  return now.wMilliseconds;
}

struct OwnedSearch {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOwned(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<OwnedSearch*>(search);
  if (GetWindow(window, GW_OWNER) == s->owner) s->found.push_back(window);
  return TRUE;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  OwnedSearch search{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The dates and the caption change once a day at most: unchanged texts are not set again,
// which spares a repaint (and, for the caption, a title bar update) every second.
void SetChangedCaption(TControl* control, const std::string& text) {
  if (control->Caption() != text) control->SetCaption(text);
}

}  // namespace

TForm1::TForm1() {
  Name = "Form1";
  SetCaption(kClockCaption);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetBorderStyle(bsNone);
  // The design's stay-on-top is left to FormCreate, which always sets the form style from the
  // settings: a hidden window made topmost here stays so under Wine whatever comes after.
  SetColor(clBtnFace);
  SetBounds(320, 109, kClientWidth, kClientHeight);
  SetClientSize(kClientWidth, kClientHeight);
  SetIconResource("MAINICON");

  Panel1 = new TPanel(this);
  Panel1->Name = "Panel1";
  Panel1->SetBorderStyle(bsSingleBorder);
  Panel1->SetBevelInner(bvLowered);
  Panel1->SetBevelOuter(bvRaised);
  Panel1->SetBevelWidth(3);
  Panel1->SetColor(clAqua);
  Panel1->Font().SetName("System");
  Panel1->Font().SetHeight(kPanelFontHeight);
  Panel1->Font().SetStyle(fsBold);
  Panel1->Font().SetCharset(ANSI_CHARSET);
  Panel1->Hint = "Right-Click Mouse to show menu!";
  Panel1->SetShowHint(true);
  Panel1->SetAlign(alClient);
  // The panel gets no PopupMenu of its own: its right-clicks go on to the form, which opens
  // PopupMenu1 so that the choice comes back as a WM_COMMAND with the item's id.

  auto label = [this](const char* name, const LabelDesign& d) {
    auto* l = new TLabel(Panel1);
    l->Name = name;
    l->SetAutoSize(false);
    l->SetAlignment(taCenter);
    l->SetBounds(d.left, d.top, d.width, d.height);
    l->Font().Assign(Panel1->Font());
    if (d.large) {
      l->Font().SetName("Arial");
      l->Font().SetHeight(kLargeFontHeight);
      l->Font().SetStyle(fsBold);
      l->Font().SetCharset(ANSI_CHARSET);
    }
    return l;
  };
  lblLocalTime = label("lblLocalTime", kLocalTime);
  lblLocalDate = label("lblLocalDate", kLocalDate);
  lblUTCTIME = label("lblUTCTIME", kUTCTime);
  lblUTCDate = label("lblUTCDate", kUTCDate);

  Timer1 = new TTimer(this);
  Timer1->Name = "Timer1";
  Timer1->SetInterval(1000);
  Timer1->OnTimer = Handler(this, &TForm1::Timer1Timer);
  ColorDialog1 = new TColorDialog(this);
  ColorDialog1->Name = "ColorDialog1";
  BuildMenu();

  SetActiveControl(Panel1);
  OnCreate = Handler(this, &TForm1::FormCreate);
  OnClose = Handler(this, &TForm1::FormClose);
  if (const UINT dpi = WindowDpi(Handle()); dpi != kDesignDpi) ScaleToDpi(dpi);
  SetVisible(true);
}

TMenuItem* TForm1::NewItem(TComponent* owner, const char* name, const char* caption,
                           void (TForm1::*handler)(TObject*), unsigned command) {
  auto* item = new TMenuItem(owner);
  item->Name = name;
  item->Caption = caption;
  if (handler) item->OnClick = Handler(this, handler);
  if (command) commands_.Add(item, command);
  return item;
}

void TForm1::BuildMenu() {
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->Name = "PopupMenu1";
  PopupMenu1->Alignment = paCenter;
  PopupMenu = PopupMenu1;
  OnTop1 = NewItem(PopupMenu1, "OnTop1", "Always &on Top", &TForm1::OnTop1Click, cmdOnTop);
  NoTitle1 = NewItem(PopupMenu1, "NoTitle1", "&Title Bar", &TForm1::NoTitle1Click, cmdTitleBar);
  Appearance1 = NewItem(PopupMenu1, "Appearance1", "&Appearance", nullptr, 0);
  Plain1 = NewItem(Appearance1, "Plain1", "&Plain", &TForm1::Plain1Click, cmdPlain);
  PictureFrame1 = NewItem(Appearance1, "PictureFrame1", "Picture &Frame",
                          &TForm1::PictureFrame1Click, cmdPictureFrame);
  Channel1 = NewItem(Appearance1, "Channel1", "&Channel", &TForm1::Channel1Click, cmdChannel);
  Raised1 = NewItem(Appearance1, "Raised1", "&Raised", &TForm1::Raised1Click, cmdRaised);
  Lowered1 = NewItem(Appearance1, "Lowered1", "&Lowered", &TForm1::Lowered1Click, cmdLowered);
  for (TMenuItem* style : {Plain1, PictureFrame1, Channel1, Raised1, Lowered1}) {
    style->RadioItem = true;
    style->GroupIndex = 1;
  }
  Color1 = NewItem(PopupMenu1, "Color1", "&Color", nullptr, 0);
  Background1 = NewItem(Color1, "Background1", "&Background", &TForm1::Background1Click,
                        cmdBackground);
  Text1 = NewItem(Color1, "Text1", "&Text", &TForm1::Text1Click, cmdText);
  Info1 = NewItem(PopupMenu1, "Info1", "A&bout Dialmoor", &TForm1::Info1Click, cmdAbout);
  Exit1 = NewItem(PopupMenu1, "Exit1", "E&xit", &TForm1::Exit1Click, cmdExit);
}

void TForm1::FormCreate(TObject*) {
  Panel1->SetAlign(alClient);
  IniFileName = SettingsFileName(ExecutableName());
  const ClockSettings s = LoadClockSettings(IniFileName);
  SetTop(s.Top);
  SetLeft(s.Left);
  StayOnTop = s.StayOnTop;
  HeadingFlag = s.HeadingFlag;
  ApplyStayOnTop();
  OnTop1->SetChecked(StayOnTop);
  Panel1->SetColor(s.Background);
  SetTextColor(s.Text);
  AppearanceCode = s.AppearanceCode;
  switch (AppearanceCode) {
    case 0: Plain1Click(this); break;
    case 1: PictureFrame1Click(this); break;
    case 2: Channel1Click(this); break;
    case 3: Raised1Click(this); break;
    case 4: Lowered1Click(this); break;
    default: break;
  }
  SetTitleBar(s.TitleBar);

  // A position off every screen (a monitor unplugged, a hand-edited file) would lose the
  // window for good, since the close writes it back.
  const RECT size = ScreenBounds();
  ScreenRect stored{s.Left, s.Top, 0, 0};
  stored.right = stored.left + (size.right - size.left);
  stored.bottom = stored.top + (size.bottom - size.top);
  const ScreenRect place = VisiblePlace(stored);
  if (place.left != Left() || place.top != Top())
    SetBounds(static_cast<int>(place.left), static_cast<int>(place.top), size.right - size.left,
              size.bottom - size.top);
  PhaseTimer();
}

void TForm1::PhaseTimer() { Timer1->SetInterval(NextTickDelay(MillisecondsIntoUtcSecond())); }

RECT TForm1::RestoredBounds() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!Handle() || !(IsIconic(Handle()) || IsZoomed(Handle())) ||
      !GetWindowPlacement(Handle(), &placement))
    return ScreenBounds();
  // The normal position is in workspace coordinates, which start at the work area's corner.
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT r = placement.rcNormalPosition;
  OffsetRect(&r, work.left, work.top);
  return r;
}

void TForm1::FormClose(TObject* Sender, TCloseAction&) {
  const RECT bounds = RestoredBounds();
  ClockSettings s;
  s.Top = bounds.top;
  s.Left = bounds.left;
  s.StayOnTop = StayOnTop;
  s.HeadingFlag = HeadingFlag;
  s.TitleBar = BorderStyle() == bsSingle;
  s.AppearanceCode = AppearanceCode;
  s.Background = Panel1->Color();
  s.Text = lblLocalDate->Font().Color();
  SaveClockSettingsOnClose(
      IniFileName, s, [](std::int32_t color) { return static_cast<std::int32_t>(ColorToRGB(color)); },
      [Sender](const Exception&) { Application->HandleException(Sender); });
}

void TForm1::Timer1Timer(TObject*) {
  if (!Tester) return;
  Tester->btnLocNow->Click();
  FormatSettings().LongTimeFormat = "hh:mm:ss";
  SetChangedCaption(lblLocalTime, FormatDateTime("tt", Tester->timeLocal->Time()));
  SetChangedCaption(lblLocalDate, FormatDateTime("mm/dd/yyyy", Tester->dateLocal->Date()));
  SetChangedCaption(lblUTCTIME, FormatDateTime("tt", Tester->timeUTC->Time()));
  SetChangedCaption(lblUTCDate, FormatDateTime("mm/dd/yyyy", Tester->dateUTC->Date()));
  SetChangedCaption(this, std::string(kClockCaption) + " - " + Tester->StaticText1->Caption());
  PhaseTimer();
}

void TForm1::OnTop1Click(TObject*) {
  StayOnTop = !StayOnTop;
  ApplyStayOnTop();
  OnTop1->SetChecked(StayOnTop);
}

void TForm1::ApplyStayOnTop() {
  SetFormStyle(StayOnTop ? fsStayOnTop : fsNormal);
  if (StayOnTop && !(GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    // Wine links a window that owns others (the panel's tooltip) behind them and leaves it
    // without the topmost mark; with no owned windows for a moment it takes the mark.
    std::vector<HWND> owned = OwnedWindows(Handle());
    for (HWND w : owned) SetWindowLongPtrA(w, GWLP_HWNDPARENT, 0);
    SetFormStyle(fsStayOnTop);
    for (HWND w : owned) SetWindowLongPtrA(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Handle()));
  }
}

void TForm1::NoTitle1Click(TObject*) { SetTitleBar(BorderStyle() == bsNone); }

void TForm1::SetTitleBar(bool Visible) {
  SyncBounds();
  // The client area keeps its size: the strip's layout is made for it.
  SetBorderStyle(Visible ? bsSingle : bsNone);
  NoTitle1->SetChecked(Visible);
}

void TForm1::ApplyStyle(std::uint8_t code, TBevelCut inner, TBevelCut outer, int width,
                        TMenuItem* item) {
  AppearanceCode = code;
  Panel1->SetBevelInner(inner);
  Panel1->SetBevelOuter(outer);
  Panel1->SetBevelWidth(width);
  // The panel repaints only its own background and bevels; labels it leaves alone were seen
  // to lose their text under Wine's virtual desktop.
  RedrawWindow(Panel1->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  item->SetChecked(true);
}

void TForm1::Plain1Click(TObject*) { ApplyStyle(0, bvNone, bvRaised, 1, Plain1); }
void TForm1::PictureFrame1Click(TObject*) { ApplyStyle(1, bvLowered, bvRaised, 3, PictureFrame1); }
void TForm1::Channel1Click(TObject*) { ApplyStyle(2, bvRaised, bvLowered, 3, Channel1); }
void TForm1::Raised1Click(TObject*) { ApplyStyle(3, bvRaised, bvRaised, 3, Raised1); }
void TForm1::Lowered1Click(TObject*) { ApplyStyle(4, bvLowered, bvLowered, 3, Lowered1); }

void TForm1::Background1Click(TObject*) {
  try {
    ColorDialog1->Color = Panel1->Color();
    if (ExecuteColorDialog(*ColorDialog1)) Panel1->SetColor(ColorDialog1->Color);
  } catch (...) {
    ShowMessage("Color selection dialog failed to load");
  }
}

void TForm1::Text1Click(TObject*) {
  if (ExecuteColorDialog(*ColorDialog1)) SetTextColor(ColorDialog1->Color);
}

void TForm1::SetTextColor(TColor color) {
  for (TLabel* l : {lblLocalDate, lblLocalTime, lblUTCDate, lblUTCTIME}) l->Font().SetColor(color);
}

void TForm1::Info1Click(TObject*) {
  if (About) About->ShowModal();
}

void TForm1::Exit1Click(TObject*) { Close(); }

RECT TForm1::ScreenBounds() const {
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  if (Handle()) GetWindowRect(Handle(), &r);
  return r;
}

void TForm1::SyncBounds() {
  const RECT r = ScreenBounds();
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TForm1::ScaleToDpi(UINT dpi) {
  dpi_ = dpi;
  auto scale = [dpi](int v) { return ScaleForDpi(v, dpi); };
  Font().SetHeight(scale(kFormFontHeight));
  Panel1->Font().SetHeight(scale(kPanelFontHeight));
  const std::pair<TLabel*, LabelDesign> labels[] = {
      {lblLocalTime, kLocalTime}, {lblLocalDate, kLocalDate}, {lblUTCTIME, kUTCTime}, {lblUTCDate, kUTCDate}};
  for (const auto& [l, d] : labels) {
    l->SetBounds(scale(d.left), scale(d.top), scale(d.width), scale(d.height));
    l->Font().SetHeight(scale(d.large ? kLargeFontHeight : kPanelFontHeight));
  }
  SyncBounds();
  SetClientSize(scale(kClientWidth), scale(kClientHeight));
}

LRESULT TForm1::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (at.x == -1 && at.y == -1) {  // from the keyboard: the middle of the strip
        at = {ClientWidth() / 2, ClientHeight() / 2};
        ClientToScreen(Handle(), &at);
      }
      PopupMenu1->PopupComponent = this;
      commands_.Track(*PopupMenu1, Handle(), at.x, at.y);
      return 0;
    }
    case WM_COMMAND:
      if (commands_.Dispatch(wParam, lParam)) return 0;
      break;
    case WM_TIMECHANGE:
      PhaseTimer();
      break;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) PhaseTimer();
      break;
    case WM_DPICHANGED: {
      ScaleToDpi(LOWORD(wParam));
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetBounds(suggested->left, suggested->top, Width(), Height());
      return 0;
    }
    default:
      break;
  }
  return TForm::WndProc(message, wParam, lParam);
}
