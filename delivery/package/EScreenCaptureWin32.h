// The screenshot taken while the error dialog is shown: the foreground window or the monitor
// that holds it, with red frames where the dialog is and the mouse cursor drawn in.
#pragma once

#include "platform/win/WinApi.h"

#include <optional>
#include <string>

#include "delivery/package/EScreenshot.h"
#include "platform/win/UniqueHandle.h"

class TScreenCapture {
 public:
  TScreenCapture() = default;
  TScreenCapture(const TScreenCapture&) = delete;
  TScreenCapture& operator=(const TScreenCapture&) = delete;
  ~TScreenCapture() { FreeScreenshot(); }

  // Takes the picture, replacing an earlier one. foregroundOnly: the foreground window's
  // rectangle from its own window DC; otherwise the desktop, narrowed to the foreground
  // window's monitor where the system offers the monitor functions. errorDialog is the
  // dialog's window rectangle in screen coordinates. False when no bitmap could be made.
  bool CaptureScreen(bool foregroundOnly, std::optional<RECT> errorDialog);
  bool Captured() const { return bits_ != nullptr; }
  // The picture (width rounded up to a multiple of 4), empty when nothing is captured.
  TScreenshotPixels Pixels() const;
  // The screen rectangle the picture shows (before the width was rounded up).
  const RECT& Area() const { return area_; }
  // False (and no file) when nothing is captured or the file cannot be written.
  bool SaveScreenshotPNG(const std::string& fileName) const;
  void FreeScreenshot();

 private:
  // Declared before the DC, so the DC (which holds them selected) goes first.
  UniqueHandle<GdiObjectTraits<HPALETTE>> palette_;
  UniqueBitmap bitmap_;
  UniqueMemoryDC memoryDC_;
  const std::uint32_t* bits_ = nullptr;
  std::uint32_t width_ = 0, height_ = 0;
  RECT area_{};
};
