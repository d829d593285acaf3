// The banner look on a window's own caption bar, for the subsystem's windows other than the
// error dialog (which paints its banner in its header band): the gradient, frame colours and
// caption text of PaintBanner, drawn over the system's caption once the system has drawn the
// frame, in the active or inactive colours.
#pragma once

#include "platform/win/WinApi.h"

#include <string>

// The caption bar of `window` in window coordinates, from its styles and the frame metrics.
RECT CaptionBarOf(HWND window);

// Paints `caption` as a banner over the caption bar of `window`, through its window DC.
void PaintCaptionBar(HWND window, const std::string& caption, HFONT font, bool active);

// The window set-up the subsystem's windows share with the error dialog: with the banner look
// the caption bar is painted as a banner; without it a tool-window frame becomes a plain
// window frame and the system draws the caption. Detach puts back what Attach changed.
class TCaptionLook {
 public:
  TCaptionLook() = default;
  TCaptionLook(const TCaptionLook&) = delete;
  TCaptionLook& operator=(const TCaptionLook&) = delete;

  // `font` stays the caller's and must live until Detach.
  void Attach(HWND window, bool bannerLook, const std::string& caption, HFONT font);
  void Detach();

  // WM_NCPAINT and WM_NCACTIVATE of a dialog procedure, with the banner look: the system draws
  // the frame and the caption first, then the banner goes over the caption bar. True when the
  // message was answered; `result` is then what the dialog procedure returns.
  bool Message(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

 private:
  HWND window_ = nullptr;
  bool banner_ = false;
  bool active_ = true;
  LONG removedExStyle_ = 0;
  std::string caption_;
  HFONT font_ = nullptr;
};
