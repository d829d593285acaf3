#include "report/dialog/EErrorDialogWin32.h"
#include "platform/win/ModuleOfAddress.h"

#include "platform/win/WinApi.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <memory>

#include "platform/IniFile.h"
#include "platform/win/ModalDialog.h"
#include "platform/win/ProcAddress.h"
#include "platform/win/UniqueHandle.h"
#include "report/capture/EDispatchRules.h"
#include "report/capture/EOskedaEvents.h"
#include "report/dialog/EDialogBannerWin32.h"
#include "report/dialog/EDialogFontWin32.h"
#include "report/dialog/EDialogInputWin32.h"
#include "report/dialog/EDialogListsWin32.h"
#include "report/dialog/EDialogPagesWin32.h"
#include "report/dialog/EDialogRules.h"
#include "report/dialog/EDialogStoreWin32.h"
#include "report/dialog/EDialogWindowState.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportRtf.h"
#include "report/text/EReportText.h"

namespace {

enum : int {
  idClose = 3,
  idOk = 2,
  idDetails = 4,
  idMessage = 101,
  idTabs = 1000,
  idSeparator = 2000,
  idSend = 3000,
  idScreenshot = 4000,
  idCopy = 5000,
  idSupport = 6000,
};

enum : UINT_PTR { timerStartup = 1, timerIdle = 2, timerFocus = 3 };

constexpr int MessageHeight = 40;

struct TErrorDialogRunState {
  bool Shown = false;  // a dialog of this run was shown: its choices carry over
  TDialogOptionalControls Present;
  TDialogChecks Checks;
  bool Expanded = false;
  TDialogWindowState Window;  // read from the file at the first expanded show
};

TErrorDialogRunState& RunState() {
  static TErrorDialogRunState state;
  return state;
}

HINSTANCE DialogModule() { return ModuleOfAddress(reinterpret_cast<const void*>(&RunState)); }

// The shell is loaded when the support page is first opened, not with the program: imported,
// it and its helpers load before the program's first window. Once loaded it stays.
void OpenSupportPage(const std::string& page) {
  static const HMODULE shell = LoadLibraryA("shell32.dll");
  if (const auto open = ProcAddress<decltype(&ShellExecuteA)>(shell, "ShellExecuteA"))
    open(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

void Place(HWND control, const TDialogRect& r) {
  MoveWindow(control, r.Left, r.Top, r.Width, r.Height, TRUE);
}

int CaptionWidth(HDC dc, const std::string& text) {
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  return r.right - r.left + 16;
}

class TErrorDialog final : public TModalDialog {
 public:
  TErrorDialog(TReportContext& context, int errorCount, HINSTANCE resources)
      : context_(context),
        options_(*context.Options),
        state_(RunState()),
        errorCount_(errorCount),
        resources_(resources) {}
  const char* ClassName() const noexcept override { return "TErrorDialog"; }

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnDestroy() override;

 private:
  void MakeFonts();
  void SetCaptions();
  void SetChecks();
  void MakeTabs();
  TDialogPage* Page(int position);
  void PlacePage(HWND page);
  void ShowPage(int position);
  void SizeWindow(bool firstShow);
  void LayOut();
  void ToggleDetails();
  void SaveWindowState();
  void Paint();

  TReportContext& context_;
  const TOskedaModuleOptions& options_;
  TErrorDialogRunState& state_;
  int errorCount_;
  HINSTANCE resources_;

  TDialogOptionalControls controls_;
  int headerBand_ = 4;
  int buttonWidth_ = DialogButtonMinWidth;
  bool expanded_ = false;
  bool topMost_ = false;
  bool active_ = true;
  bool closeVisible_ = false;
  UniqueFont captionFont_;
  UniqueBitmap picture_;
  UniqueTimer startupTimer_;
  TDialogIdleWatch idle_;
  TFocusKeeper focus_;
  TDialogLists lists_;
  std::array<std::unique_ptr<TDialogPage>, 5> pages_;
  TDialogTabs tabs_;
};

bool TErrorDialog::OnInit() {
  HWND dialog = Handle();
  const TDialogFlags flags = options_.DialogFlags();
  topMost_ = flags.Contains(dfTopMost);
  if (topMost_) SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  headerBand_ = HeaderBandHeight(flags.Contains(dfBannerLook));
  if (!flags.Contains(dfBannerLook)) {
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) & ~WS_EX_TOOLWINDOW);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  controls_ = DecideOptionalControls(options_, context_.Duplicate);
  closeVisible_ =
      CloseButtonVisible(options_.CloseButtonEnabled(), errorCount_, options_.CloseButtonAfter());
  ShowWindow(Item(idSeparator), SW_HIDE);
  picture_.reset(static_cast<HBITMAP>(
      LoadImageA(resources_, "OZ_ERROR", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  MakeFonts();
  SetCaptions();
  SetChecks();
  lists_.CallStackWidths = state_.Window.Col;
  lists_.ModulesWidths = state_.Window.ColMod;
  MakeTabs();
  expanded_ = state_.Shown ? state_.Expanded : flags.Contains(dfStartExpanded);
  SizeWindow(true);
  LayOut();

  if (SetTimer(dialog, timerStartup, 1, nullptr)) startupTimer_ = UniqueTimer(dialog, timerStartup);
  idle_.Start(dialog, options_.DialogTimeoutSecs(), timerIdle);
  focus_.Start(dialog, timerFocus, 10);
  return true;
}

void TErrorDialog::MakeFonts() { captionFont_ = MakeDialogFont(Handle(), 150, FW_BOLD); }

void TErrorDialog::SetCaptions() {
  SetWindowTextA(Handle(), options_.GetText(2).c_str());
  SetWindowTextA(Item(idMessage), WithCrLf(options_.GetText(3)).c_str());
  const std::string& ok = options_.GetText(14);
  const std::string& close = options_.GetText(options_.CloseButtonAction() == cbaRestart ? 16 : 15);
  SetWindowTextA(Item(idOk), ok.c_str());
  SetWindowTextA(Item(idClose), close.c_str());
  SetWindowTextA(Item(idDetails), options_.GetText(17).c_str());
  SetWindowTextA(Item(idSend), options_.GetText(18).c_str());
  SetWindowTextA(Item(idScreenshot), options_.GetText(19).c_str());
  SetWindowTextA(Item(idCopy), options_.GetText(20).c_str());
  if (controls_.Support) {
    HWND link =
        CreateWindowExA(0, "STATIC", options_.GetText(21).c_str(),
                        WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_RIGHT, 0, 0, 0, 0, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(idSupport)), nullptr, nullptr);
    SendMessageA(link, WM_SETFONT, SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
  }

  WindowDC dc(Handle());
  SelectedObject font(dc.get(),
                      reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
  buttonWidth_ = DialogButtonWidth(
      {CaptionWidth(dc.get(), ok + "W"), CaptionWidth(dc.get(), options_.GetText(15)),
       CaptionWidth(dc.get(), options_.GetText(16)), CaptionWidth(dc.get(), options_.GetText(17))});
}

void TErrorDialog::SetChecks() {
  TDialogChecks checks = InitialDialogChecks(options_, controls_);
  if (state_.Shown) {
    if (state_.Present.Send && controls_.Send) checks.Send = state_.Checks.Send;
    if (state_.Present.Screenshot && controls_.Screenshot)
      checks.Screenshot = state_.Checks.Screenshot;
    if (state_.Present.Copy && controls_.Copy) checks.Copy = state_.Checks.Copy;
  }
  CheckDlgButton(Handle(), idSend, checks.Send ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Handle(), idScreenshot, checks.Screenshot ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Handle(), idCopy, checks.Copy ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(Item(idScreenshot), checks.Send);
  ShowWindow(Item(idSend), controls_.Send ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(idScreenshot), controls_.Screenshot ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(idCopy), controls_.Copy ? SW_SHOW : SW_HIDE);
}

void TErrorDialog::MakeTabs() {
  const TLogFlags log = options_.LogFlags();
  const bool custom = !context_.CustomData.empty();
  tabs_ = DialogTabs(log.Contains(lfModulesSection), log.Contains(lfCpuSection), custom);
  HWND tabControl = Item(idTabs);
  for (int position = 0; position < tabs_.Count; ++position) {
    std::string caption = options_.GetText(4 + 2 * tabs_.Order[position]);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageA(tabControl, TCM_INSERTITEMA, position, reinterpret_cast<LPARAM>(&item));
  }
  const int first = FirstTabPosition(options_.FirstTab(), log.Contains(lfModulesSection),
                                     log.Contains(lfCpuSection), custom);
  SendMessageA(tabControl, TCM_SETCURSEL, first, 0);
}

// Pages are made when first shown: a dialog that stays collapsed never fills its lists.
TDialogPage* TErrorDialog::Page(int position) {
  if (position < 0 || position >= tabs_.Count) return nullptr;
  if (pages_[position]) return pages_[position].get();
  static constexpr const char* Templates[5] = {"OZ_TAB_GENERAL", "OZ_TAB_CALLSTACK",
                                               "OZ_TAB_MODULESLIST", "OZ_TAB_CPU",
                                               "OZ_TAB_CUSTOMDATA"};
  const TDialogTab tab = tabs_.Order[position];
  auto page = std::make_unique<TDialogPage>([this, tab](const NMHDR& header, LRESULT& result) {
    return tab == tabCallStack && CallStackListNotify(lists_, header, result);
  });
  if (!page->CreateChild(Handle(), Templates[tab], resources_)) return nullptr;
  SetWindowTextA(page->Item(PageHeaderId), options_.GetText(5 + 2 * tab).c_str());
  HWND control = page->Control();
  const TRtfFont fixedFont;
  switch (tab) {
    case tabGeneral:
      LoadRichText(control,
                   BuildGeneralRtf(context_.Report ? context_.Report->GeneralPart() : context_.Text,
                                   fixedFont));
      break;
    case tabCallStack:
      if (context_.Snapshot)
        AttachCallStackList(lists_, control, resources_, *context_.Snapshot, options_);
      break;
    case tabModules:
      if (context_.Snapshot) AttachModulesList(lists_, control, *context_.Snapshot, options_);
      break;
    case tabCpu:
      if (context_.Report)
        LoadRichText(control, BuildCpuRtf(context_.Report->ProcessorBlock(), fixedFont));
      break;
    case tabOther:
      SetWindowTextA(control, WithCrLf(context_.CustomData).c_str());
      break;
  }
  pages_[position] = std::move(page);
  PlacePage(pages_[position]->Handle());
  return pages_[position].get();
}

void TErrorDialog::PlacePage(HWND page) {
  HWND tabControl = Item(idTabs);
  RECT tabs;
  GetWindowRect(tabControl, &tabs);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&tabs), 2);
  RECT pageRect{0, 0, tabs.right - tabs.left, tabs.bottom - tabs.top};
  SendMessageA(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pageRect));
  OffsetRect(&pageRect, tabs.left, tabs.top);
  SetWindowPos(page, HWND_TOP, pageRect.left, pageRect.top,
               std::max<LONG>(pageRect.right - pageRect.left, 0),
               std::max<LONG>(pageRect.bottom - pageRect.top, 0), SWP_NOACTIVATE);
}

void TErrorDialog::ShowPage(int position) {
  if (expanded_) Page(position);
  for (int i = 0; i < tabs_.Count; ++i)
    if (pages_[i]) ShowWindow(pages_[i]->Handle(), expanded_ && i == position ? SW_SHOW : SW_HIDE);
}

void TErrorDialog::SizeWindow(bool firstShow) {
  HWND dialog = Handle();
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  TDialogWindowState& window = state_.Window;
  if (expanded_ && !window.Known) {
    TIniFile ini(OskedaLogIniPath());
    window = ReadDialogWindowState(ini);
    lists_.CallStackWidths = window.Col;
    lists_.ModulesWidths = window.ColMod;
  }
  if (expanded_) {
    const TDialogRect r =
        PlaceDialogWindow(window, controls_.BandHeight, screenWidth, screenHeight);
    SetWindowPos(dialog, nullptr, r.Left, r.Top, r.Width, r.Height, SWP_NOZORDER);
    if (firstShow && window.WindowsState == SW_SHOWMAXIMIZED) ShowWindow(dialog, SW_SHOWMAXIMIZED);
    return;
  }
  if (IsZoomed(dialog)) ShowWindow(dialog, SW_RESTORE);
  RECT frame{0, 0, 0, CollapsedClientHeight(headerBand_, MessageHeight, controls_.BandHeight)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  const int width = window.Width;
  const int height = frame.bottom - frame.top;
  TDialogWindowState collapsed = window;
  collapsed.Width = width;
  collapsed.Height = height;
  if (!firstShow) {
    RECT now;
    GetWindowRect(dialog, &now);
    collapsed.Left = now.left;
    collapsed.Top = now.top;
    collapsed.HasLeft = collapsed.HasTop = true;
  }
  const TDialogRect r = PlaceDialogWindow(collapsed, 0, screenWidth, screenHeight);
  SetWindowPos(dialog, nullptr, r.Left, r.Top, r.Width, r.Height, SWP_NOZORDER);
}

void TErrorDialog::LayOut() {
  RECT client;
  GetClientRect(Handle(), &client);
  TDialogLayoutInput in;
  in.ClientWidth = client.right;
  in.ClientHeight = client.bottom;
  in.HeaderBand = headerBand_;
  in.BottomBand = controls_.BandHeight;
  in.ButtonWidth = buttonWidth_;
  in.MessageHeight = MessageHeight;
  in.Expanded = expanded_;
  in.Controls = controls_;
  const TDialogLayout l = LayOutDialog(in);
  Place(Item(idMessage), l.Message);
  Place(Item(idOk), l.Ok);
  Place(Item(idClose), l.Close);
  Place(Item(idDetails), l.Details);
  Place(Item(idSend), l.Send);
  Place(Item(idScreenshot), l.Screenshot);
  Place(Item(idCopy), l.Copy);
  if (HWND link = Item(idSupport)) Place(link, l.Support);
  ShowWindow(Item(idClose), closeVisible_ ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(idDetails),
             options_.DialogFlags().Contains(dfShowDetailsButton) ? SW_SHOW : SW_HIDE);

  HWND tabControl = Item(idTabs);
  Place(tabControl, l.Tabs);
  ShowWindow(tabControl, expanded_ ? SW_SHOW : SW_HIDE);
  for (const auto& page : pages_)
    if (page) PlacePage(page->Handle());
  ShowPage(static_cast<int>(SendMessageA(tabControl, TCM_GETCURSEL, 0, 0)));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TErrorDialog::ToggleDetails() {
  if (expanded_) SaveWindowState();
  expanded_ = !expanded_;
  SizeWindow(false);
  LayOut();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TErrorDialog::SaveWindowState() {
  HWND dialog = Handle();
  TDialogWindowState& window = state_.Window;
  window.WindowsState = IsZoomed(dialog) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  if (window.WindowsState == SW_SHOWNORMAL) {
    RECT r;
    GetWindowRect(dialog, &r);
    window.Width = r.right - r.left;
    window.Height = r.bottom - r.top - controls_.BandHeight;
    window.Left = r.left;
    window.Top = r.top;
    window.HasLeft = window.HasTop = true;
  }
  window.Col = CallStackColumnWidths(lists_);
  window.ColMod = ModulesColumnWidths(lists_);
  window.Known = true;
  TIniFile ini(OskedaLogIniPath());
  WriteDialogWindowState(ini, window);
}

bool TErrorDialog::OnCommand(int id, int code, HWND) {
  idle_.Reset();
  switch (id) {
    case idOk:
      End(idOk);
      return true;
    case idClose:
      context_.CloseRequested = true;
      End(idClose);
      return true;
    case idDetails:
      if (code == BN_CLICKED) ToggleDetails();
      return true;
    case idSend:
      EnableWindow(Item(idScreenshot), IsDlgButtonChecked(Handle(), idSend) == BST_CHECKED);
      return true;
    case idSupport:
      if (code == STN_CLICKED)
        OpenSupportPage(options_.SupportPage());
      return true;
    default:
      return false;
  }
}

bool TErrorDialog::OnNotify(int id, NMHDR* header, LRESULT&) {
  if (id == idTabs && header->code == TCN_SELCHANGE) {
    idle_.Reset();
    ShowPage(static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
    return true;
  }
  return false;
}

bool TErrorDialog::OnTimer(UINT_PTR id) {
  switch (id) {
    case timerStartup:
      startupTimer_.reset();
      SetForegroundWindow(Handle());
      SetFocus(Item(idOk));
      return true;
    case timerIdle:
      if (idle_.Tick()) End(idOk);
      return true;
    case timerFocus:
      focus_.Check(topMost_);
      return true;
    default:
      return false;
  }
}

void TErrorDialog::Paint() {
  PaintScope paint(Handle());
  RECT client;
  GetClientRect(Handle(), &client);
  if (options_.DialogFlags().Contains(dfBannerLook)) {
    RECT band{0, 0, client.right, headerBand_};
    PaintBanner(paint.get(), band, options_.GetText(2), captionFont_.get(), active_);
  }
  if (picture_) {
    TDialogLayoutInput in;
    in.ClientWidth = client.right;
    in.HeaderBand = headerBand_;
    in.MessageHeight = MessageHeight;
    const TDialogRect r = LayOutDialog(in).Picture;
    UniqueMemoryDC memory(CreateCompatibleDC(paint.get()));
    SelectedObject bitmap(memory.get(), picture_.get());
    GdiTransparentBlt(paint.get(), r.Left, r.Top, r.Width, r.Height, memory.get(), 0, 0, r.Width,
                      r.Height, RGB(240, 240, 240));
  }
}

bool TErrorDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return true;
    case WM_PAINT:
      Paint();
      result = TRUE;
      return true;
    case WM_ACTIVATE:
      active_ = LOWORD(wParam) != WA_INACTIVE;
      if (options_.DialogFlags().Contains(dfBannerLook)) {
        RECT band;
        GetClientRect(Handle(), &band);
        band.bottom = headerBand_;
        InvalidateRect(Handle(), &band, FALSE);
      }
      return false;
    default:
      return false;
  }
}

void TErrorDialog::OnDestroy() {
  HWND dialog = Handle();
  const auto checked = [&](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
  state_.Checks = {checked(idSend), checked(idScreenshot), checked(idCopy)};
  state_.Present = controls_;
  state_.Shown = true;
  context_.SendChecked = controls_.Send && state_.Checks.Send;
  context_.ScreenshotChecked =
      controls_.Screenshot && state_.Checks.Send && state_.Checks.Screenshot;
  context_.CopyChecked = controls_.Copy && state_.Checks.Copy;
  startupTimer_.reset();
  idle_.Stop();
  focus_.Stop();
  if (expanded_) SaveWindowState();
  state_.Expanded = expanded_;
}

}  // namespace

void ShowErrorDialog(TReportContext& context, const std::string& message, int errorCount) {
  UniqueModule richEdit(LoadLibraryA("RICHED32.DLL"));
  INITCOMMONCONTROLSEX common{sizeof common, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&common);
  HWND previous = GetForegroundWindow();
  MessageBeep(MB_ICONHAND);
  const HINSTANCE resources = DialogModule();
  for (;;) {
    context.CloseRequested = false;
    TErrorDialog dialog(context, errorCount, resources);
    if (dialog.ShowModal(nullptr, "OZ_DIALOG", resources) == -1) {
      OutputDebugStringA(
          InternalWarningLine("GUI", 0, "Cannot show the DialogBox window.").c_str());
      if (context.Events) context.Events->ErrorNotify(atShowDialog, ActionErrorText("GUI", ""));
      MessageBoxA(nullptr, message.c_str(), context.Options->GetText(2).c_str(),
                  MB_OK | MB_ICONERROR | MB_TOPMOST | MB_TASKMODAL);
      return;
    }
    context.DialogShown = true;
    if (!context.CloseRequested || !context.Events || context.Events->ActionNotify(atTerminate))
      break;
  }
  if (previous && IsWindow(previous)) SetForegroundWindow(previous);
}

void ResetErrorDialogState() { RunState() = TErrorDialogRunState{}; }
