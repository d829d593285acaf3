#include "report/dialog/EDialogCaptionWin32.h"

#include "platform/win/UniqueHandle.h"
#include "report/dialog/EDialogBannerWin32.h"
#include "report/dialog/EDialogCaption.h"

namespace {

void ChangeFrame(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

RECT CaptionBarOf(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  const TFrameMetrics metrics{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME),
                              GetSystemMetrics(SM_CXFRAME),    GetSystemMetrics(SM_CYFRAME),
                              GetSystemMetrics(SM_CYCAPTION),  GetSystemMetrics(SM_CYSMCAPTION)};
  const TDialogRect bar = CaptionBarRect(
      outer.right - outer.left, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), metrics);
  return RECT{bar.Left, bar.Top, bar.Left + bar.Width, bar.Top + bar.Height};
}

void PaintCaptionBar(HWND window, const std::string& caption, HFONT font, bool active) {
  const RECT bar = CaptionBarOf(window);
  if (bar.right <= bar.left || bar.bottom <= bar.top) return;
  const WindowDC dc(window, true);
  if (!dc.get()) return;
  PaintBanner(dc.get(), bar, caption, font, active);
}

void TCaptionLook::Attach(HWND window, bool bannerLook, const std::string& caption, HFONT font) {
  window_ = window;
  banner_ = bannerLook;
  caption_ = caption;
  font_ = font;
  active_ = GetActiveWindow() == window;
  removedExStyle_ = 0;
  if (!bannerLook) {
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    removedExStyle_ = exStyle & WS_EX_TOOLWINDOW;
    if (removedExStyle_) {
      SetWindowLongA(window, GWL_EXSTYLE, exStyle & ~removedExStyle_);
      ChangeFrame(window);
    }
  }
}

void TCaptionLook::Detach() {
  if (!window_) return;
  if (removedExStyle_) {
    SetWindowLongA(window_, GWL_EXSTYLE, GetWindowLongA(window_, GWL_EXSTYLE) | removedExStyle_);
    ChangeFrame(window_);
  }
  window_ = nullptr;
  banner_ = false;
  removedExStyle_ = 0;
  font_ = nullptr;
}

bool TCaptionLook::Message(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (!banner_ || !window_) return false;
  LRESULT answer = 0;
  switch (message) {
    case WM_NCPAINT:
      answer = DefWindowProcA(window_, message, wParam, lParam);
      break;
    case WM_NCACTIVATE:
      active_ = wParam != FALSE;
      // The system's answer lets the activation change go ahead.
      answer = DefWindowProcA(window_, message, wParam, lParam);
      break;
    default:
      return false;
  }
  PaintCaptionBar(window_, caption_, font_, active_);
  SetWindowLongPtrA(window_, DWLP_MSGRESULT, answer);
  result = TRUE;
  return true;
}
