#include "platform/gui/ExtCtrlsWin32.h"

#include "platform/win/WindowClass.h"

namespace {

constexpr char kBevelClass[] = "DmBevel";
constexpr char kTimerClass[] = "DmTimer";
constexpr char kImageClass[] = "DmImage";

// One pixel ring per step of the width, light or dark on the top-left side.
void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  for (int i = 0; i < width; ++i)
    DrawEdge(dc, &r, cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
}

}  // namespace

TPanel::TPanel(TWinControl* AParent) : TWinControl(AParent) {
  CreateContainer(WS_CHILD, 0, AParent->Handle());
}

void TPanel::Changed() {
  Invalidate();
  Realign();
}

void TPanel::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  Changed();
}
void TPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Changed();
}
void TPanel::SetBevelWidth(int value) {
  bevelWidth_ = value < 1 ? 1 : value;
  Changed();
}

void TPanel::SetBorderStyle(TBorderStyle value) {
  borderStyle_ = value;
  DWORD style = GetWindowLongA(handle_, GWL_STYLE);
  style = value == bsSingleBorder ? style | WS_BORDER : style & ~WS_BORDER;
  SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Changed();
}

void TPanel::SetCaption(const std::string& value) {
  TWinControl::SetCaption(value);
  Invalidate();
}

RECT TPanel::AlignRect() const {
  RECT r = TWinControl::AlignRect();
  const int inset = ((bevelOuter_ != bvNone) + (bevelInner_ != bvNone)) * bevelWidth_;
  InflateRect(&r, -inset, -inset);
  return r;
}

void TPanel::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  DrawBevel(dc, r, bevelOuter_, bevelWidth_);
  DrawBevel(dc, r, bevelInner_, bevelWidth_);
  const std::string text = Caption();
  if (text.empty()) return;
  SelectedObject font(dc, EffectiveFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) Invalidate();  // the bevels follow the new edges
  return TWinControl::WndProc(message, wParam, lParam);
}

TBevel::TBevel(TWinControl* AParent) : TControl(AParent) {
  SetParentColor(true);
  RegisterControlClass(kBevelClass, CS_HREDRAW | CS_VREDRAW, nullptr);
  CreateHandle(kBevelClass, WS_CHILD, 0, AParent->Handle());
}

LRESULT TBevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, Brush().Get(EffectiveColor()));
      return 1;
    }
    case WM_PAINT: {
      const PaintScope paint(handle_);
      RECT r;
      GetClientRect(handle_, &r);
      const UINT edge = Style == bvRaised ? EDGE_BUMP : EDGE_ETCHED;
      const UINT sides = Shape == bsTopLine ? BF_TOP : Shape == bsBottomLine ? BF_BOTTOM : BF_RECT;
      DrawEdge(paint.get(), &r,
               Shape == bsBox ? (Style == bvRaised ? EDGE_RAISED : EDGE_SUNKEN) : edge, sides);
      return 0;
    }
    default:
      return TControl::WndProc(message, wParam, lParam);
  }
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  InitGuiRuntime();
  RegisterWindowClass(kTimerClass, &WindowTrampoline<TTimer>);
  window_.reset(CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), this));
  Restart();
}

TTimer::~TTimer() {
  timer_.reset();
  if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

LRESULT TTimer::WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_TIMER) {
    Application->Fire(this, OnTimer, this);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void TTimer::Restart() {
  timer_.reset();
  if (enabled_ && interval_ > 0 && window_ && SetTimer(window_.get(), 1, interval_, nullptr))
    timer_ = UniqueTimer(window_.get(), 1);
}

void TTimer::SetEnabled(bool value) {
  enabled_ = value;
  Restart();
}

void TTimer::SetInterval(unsigned value) {
  interval_ = value;
  Restart();
}

TImage::TImage(TWinControl* AParent) : TControl(AParent) {
  SetParentColor(true);
  RegisterControlClass(kImageClass, 0, nullptr);
  CreateHandle(kImageClass, WS_CHILD, 0, AParent->Handle());
}

bool TImage::LoadFromResourceName(const char* name) {
  picture_.reset(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  Invalidate();
  return static_cast<bool>(picture_);
}

SIZE TImage::PictureSize() const {
  BITMAP info{};
  if (!picture_ || !GetObjectA(picture_.get(), sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

void TImage::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  FillRect(dc, &r, Brush().Get(EffectiveColor()));
  if (!picture_) return;
  const SIZE size = PictureSize();
  const UniqueMemoryDC memory(CreateCompatibleDC(dc));
  if (!memory) return;
  SelectedObject selected(memory.get(), picture_.get());
  BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

LRESULT TImage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(PaintScope(handle_).get());
      return 0;
    default:
      return TControl::WndProc(message, wParam, lParam);
  }
}
