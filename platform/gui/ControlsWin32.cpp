#include "platform/gui/ControlsWin32.h"

#include "platform/win/WinApi.h"
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/SysUtils.h"
#include "platform/gui/MenusWin32.h"
#include "platform/win/WindowClass.h"

namespace {

constexpr char kContainerClass[] = "DmContainer";

// The control a window belongs to is kept in the window's user data, which the system's own
// classes leave to the program. Reading it stays inside the process, where a window property
// costs a round trip to the window server under Wine on every message.
void Attach(HWND window, TControl* control) {
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
}

TControl* AttachedControl(HWND window) {
  return reinterpret_cast<TControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The same for a window that may belong to another program, whose user data means nothing here.
TControl* AttachedControlOfAnyWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? AttachedControl(window) : nullptr;
}

}  // namespace

void InitGuiRuntime() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES |
                                                ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    return true;
  }();
  (void)done;
}

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

char MnemonicOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
    ++i;  // "&&" is a plain ampersand
  }
  return 0;
}

void TControl::SetShowHint(bool value) {
  if (!value || !handle_) {
    tooltip_.reset();
    tipWindows_.clear();
    return;
  }
  if (!tooltip_)
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
  if (!tooltip_) return;
  AddTipWindow(handle_);
  for (HWND window : tipWindows_) AddTipWindow(window);
}

void TControl::AddTipWindow(HWND window) {
  const std::string text = GetShortHint(Hint);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  // A window of our own classes hands its mouse messages to the tooltip itself (see
  // the trampoline); the tooltip's subclassing would add a window-property lookup to every message.
  tool.uFlags = TTF_IDISHWND | (window == handle_ && !ownClass_ ? TTF_SUBCLASS : 0);
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

TControl* TControl::TooltipOwner() noexcept {
  for (TControl* c = this; c; c = c->parent_) {
    if (c->tooltip_) return c;
    if (!c->Hint.empty()) return nullptr;  // a hint of its own, without a tooltip
  }
  return nullptr;
}

void TControl::RelayToTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A control without a hint of its own shows its parent's tooltip: it becomes one more tool
  // of that tooltip the first time the mouse comes by.
  if (window != handle_ && std::find(tipWindows_.begin(), tipWindows_.end(), window) == tipWindows_.end()) {
    tipWindows_.push_back(window);
    AddTipWindow(window);
  }
  MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  const DWORD at = GetMessagePos();
  relayed.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void TControl::ForgetTipWindow(HWND window) {
  const auto found = std::find(tipWindows_.begin(), tipWindows_.end(), window);
  if (found == tipWindows_.end()) return;
  tipWindows_.erase(found);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

const char* TControl::RegisterControlClass(const char* name, UINT classStyle, HBRUSH background) {
  return RegisterWindowClass(name, &WindowTrampoline<TControl>, classStyle, background,
                             LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

TControl::TControl(TWinControl* AParent) : TComponent(AParent), parent_(AParent) {
  if (parent_) font_.Assign(parent_->font_);
  font_.OnChange = [this] {
    if (!syncingFont_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  font_.OnChange = nullptr;
  tooltip_.reset();
  if (handle_) {
    const HWND window = handle_;
    Attach(window, nullptr);
    handle_ = nullptr;
    DestroyWindow(window);
  }
}

void TControl::CreateHandle(const char* windowClass, DWORD style, DWORD exStyle,
                            HWND parentWindow) {
  InitGuiRuntime();
  HMENU id = nullptr;
  if (style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(parent_->nextId_++));
  if (visible_) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  const HWND window = CreateWindowExA(exStyle, windowClass, "", style, left_, top_, width_, height_,
                                      parentWindow, id, GetModuleHandleA(nullptr), this);
  if (!window) throw Exception(Format("Cannot create a window of the class %s", windowClass));
  if (!handle_) {  // a system class: WM_NCCREATE did not come through the trampoline
    handle_ = window;
    Attach(window, this);
  }
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(EffectiveFont()), FALSE);
}

LRESULT TControl::WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    handle_ = window;
    ownClass_ = true;
  }
  if (message == WM_NCDESTROY) {
    Attach(window, nullptr);
    if (parent_)
      if (TControl* owner = parent_->TooltipOwner()) owner->ForgetTipWindow(window);
    handle_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONUP)
    if (TControl* owner = TooltipOwner()) owner->RelayToTooltip(window, message, wParam, lParam);
  LRESULT result = 0;
  bool done = false;
  Application->Dispatch(this, [&] {
    result = WndProc(message, wParam, lParam);
    done = true;
  });
  return done ? result : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (Cursor != 0 && LOWORD(lParam) == HTCLIENT && Application->Cursor(Cursor)) {
        ::SetCursor(static_cast<HCURSOR>(Application->Cursor(Cursor)));
        return TRUE;
      }
      break;
    case WM_CONTEXTMENU:
      if (PopupMenu) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) {  // from the keyboard
          at = {0, 0};
          ClientToScreen(handle_, &at);
        }
        PopupMenu->PopupComponent = this;
        PopupMenu->Popup(at.x, at.y);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

void TControl::TagWindow(HWND window) { Attach(window, this); }

void TControl::UntagWindow(HWND window) { Attach(window, nullptr); }

TControl* TControl::FromHandle(HWND window) {
  for (; window; window = GetParent(window))
    if (auto* control = AttachedControlOfAnyWindow(window)) return control;
  return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TControl::SetVisible(bool value) {
  visible_ = value;
  // ShowWindow costs a trip through the window manager even when nothing changes, and the
  // tester sets the visibility of a dozen controls on every tick of the clock.
  if (handle_ && ((GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0) != value)
    ShowWindow(handle_, value ? SW_SHOWNA : SW_HIDE);
}

void TControl::SetEnabled(bool value) {
  enabled_ = value;
  if (handle_) EnableWindow(handle_, value);
}

std::string TControl::Caption() const {
  if (!handle_) return {};
  const int length = GetWindowTextLengthA(handle_);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(handle_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void TControl::SetCaption(const std::string& value) {
  if (handle_) SetWindowTextA(handle_, value.c_str());
}

void TControl::AdoptParentFont() {
  syncingFont_ = true;
  font_.Assign(parent_->font_);
  syncingFont_ = false;
}

void TControl::SetColor(TColor value) {
  color_ = value;
  parentColor_ = false;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  parentColor_ = value;
  ColorChanged();
}

TColor TControl::EffectiveColor() const {
  return parentColor_ && parent_ ? parent_->EffectiveColor() : color_;
}

HFONT TControl::EffectiveFont() const { return font_.Handle(); }

void TControl::SetAlign(TAlign value) {
  align_ = value;
  if (parent_) parent_->Realign();
}

void TControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}


void TControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TControl::FontChanged() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(EffectiveFont()), TRUE);
}

bool TControl::HandleParentCommand(WORD) { return false; }
bool TControl::HandleParentNotify(NMHDR*, LRESULT&) { return false; }

HBRUSH TControl::HandleCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(enabled_ ? font_.Color() : clGrayText));
  SetBkColor(dc, ColorToRGB(EffectiveColor()));
  return brush_.Get(EffectiveColor());
}

TWinControl::TWinControl(TWinControl* AParent) : TControl(AParent) {}

TWinControl::~TWinControl() {
  // Children go first, while this window (their parent) still exists.
  DestroyComponents();
}

void TWinControl::CreateContainer(DWORD style, DWORD exStyle, HWND parentWindow) {
  InitGuiRuntime();
  RegisterControlClass(kContainerClass, CS_DBLCLKS, nullptr);
  CreateHandle(kContainerClass, style | WS_CLIPCHILDREN, exStyle | WS_EX_CONTROLPARENT,
               parentWindow);
}

int TWinControl::ControlCount() const {
  int n = 0;
  for (int i = 0; i < ComponentCount(); ++i)
    if (dynamic_cast<TControl*>(Components(i))) ++n;
  return n;
}

TControl* TWinControl::Controls(int index) const {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Components(i)))
      if (index-- == 0) return c;
  return nullptr;
}

RECT TWinControl::AlignRect() const {
  RECT r{};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

void TWinControl::Realign() {
  if (!handle_) return;
  RECT r = AlignRect();
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() != pass || !c->Visible()) continue;
      switch (pass) {
        case alTop:
          c->SetBounds(r.left, r.top, r.right - r.left, c->Height());
          r.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.left, r.bottom - c->Height(), r.right - r.left, c->Height());
          r.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.left, r.top, c->Width(), r.bottom - r.top);
          r.left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.right - c->Width(), r.top, c->Width(), r.bottom - r.top);
          r.right -= c->Width();
          break;
        default:
          c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
          break;
      }
    }
  }
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->parentFont_) c->AdoptParentFont();
  }
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i)->ParentColor()) Controls(i)->ColorChanged();
}

void TWinControl::Paint(HDC) {}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) {
        auto* child = AttachedControl(reinterpret_cast<HWND>(lParam));
        if (child && child->HandleParentCommand(HIWORD(wParam))) return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      auto* child = AttachedControl(header->hwndFrom);
      LRESULT result = 0;
      if (child && child->HandleParentNotify(header, result)) return result;
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      auto* child = AttachedControl(reinterpret_cast<HWND>(lParam));
      if (child)
        if (HBRUSH brush = child->HandleCtlColor(reinterpret_cast<HDC>(wParam)))
          return reinterpret_cast<LRESULT>(brush);
      break;
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, Brush().Get(EffectiveColor()));
      return 1;
    }
    case WM_PAINT:
      Paint(PaintScope(handle_).get());
      return 0;
    case WM_SIZE:
      Realign();
      break;
    default:
      break;
  }
  return TControl::WndProc(message, wParam, lParam);
}
