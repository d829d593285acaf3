#include "delivery/package/EScreenCaptureWin32.h"

#include <algorithm>
#include <vector>

namespace {

// A DC of a window from GetWindowDC (non-client area included) or GetDC, released with it.
class SourceDC {
 public:
  SourceDC(HWND window, bool wholeWindow)
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  SourceDC(const SourceDC&) = delete;
  SourceDC& operator=(const SourceDC&) = delete;
  ~SourceDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The monitor functions are missing from old systems: looked up at run time, and the whole
// desktop is kept when they are not there.
bool NarrowToMonitor(HWND window, RECT& area) {
  UniqueModule user32(LoadLibraryA("user32.dll"));
  if (!user32) return false;
  using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
  using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
  const auto monitorFromWindow = reinterpret_cast<MonitorFromWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(user32.get(), "MonitorFromWindow")));
  const auto getMonitorInfo = reinterpret_cast<GetMonitorInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(user32.get(), "GetMonitorInfoA")));
  if (!monitorFromWindow || !getMonitorInfo) return false;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (!monitor || !getMonitorInfo(monitor, &info)) return false;
  area = info.rcMonitor;
  return true;
}

void DrawCursor(HDC dc, const RECT& area) {
  CURSORINFO cursor{};
  cursor.cbSize = sizeof cursor;
  if (!GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING) || !cursor.hCursor) return;
  POINT hotSpot{};
  ICONINFO icon{};
  if (GetIconInfo(cursor.hCursor, &icon)) {
    hotSpot = {static_cast<LONG>(icon.xHotspot), static_cast<LONG>(icon.yHotspot)};
    if (icon.hbmMask) DeleteObject(icon.hbmMask);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
  }
  DrawIconEx(dc, cursor.ptScreenPos.x - hotSpot.x - area.left,
             cursor.ptScreenPos.y - hotSpot.y - area.top, cursor.hCursor, 32, 32, 0, nullptr,
             DI_NORMAL);
}

}  // namespace

bool TScreenCapture::CaptureScreen(bool foregroundOnly, std::optional<RECT> errorDialog) {
  FreeScreenshot();
  const HWND foreground = GetForegroundWindow();
  HWND source = nullptr;
  POINT from{};
  if (foregroundOnly && foreground && GetWindowRect(foreground, &area_)) {
    source = foreground;
  } else {
    foregroundOnly = false;
    source = GetDesktopWindow();
    GetWindowRect(source, &area_);
    if (foreground) NarrowToMonitor(foreground, area_);
    from = {area_.left, area_.top};
  }
  const LONG width = std::max<LONG>(area_.right - area_.left, 1);
  const LONG height = std::max<LONG>(area_.bottom - area_.top, 1);
  // Rows of an 8-bit device-independent bitmap are whole 32-bit words.
  const LONG stride = (width + 3) & ~3;

  SourceDC sourceDC(source, foregroundOnly);
  if (!sourceDC.get()) return false;
  memoryDC_.reset(CreateCompatibleDC(sourceDC.get()));
  if (!memoryDC_) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = stride;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(sourceDC.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) {
    FreeScreenshot();
    return false;
  }
  SelectObject(memoryDC_.get(), bitmap_.get());

  if (GetDeviceCaps(sourceDC.get(), RASTERCAPS) & RC_PALETTE) {
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries =
        static_cast<WORD>(GetSystemPaletteEntries(sourceDC.get(), 0, 256, logical->palPalEntry));
    if (logical->palNumEntries > 0) {
      palette_.reset(CreatePalette(logical));
      if (palette_) {
        SelectPalette(memoryDC_.get(), palette_.get(), FALSE);
        RealizePalette(memoryDC_.get());
      }
    }
  }

  BitBlt(memoryDC_.get(), 0, 0, width, height, sourceDC.get(), from.x, from.y, SRCCOPY);

  if (errorDialog) {
    UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT frame = *errorDialog;
    OffsetRect(&frame, -area_.left, -area_.top);
    FrameRect(memoryDC_.get(), &frame, red.get());
    InflateRect(&frame, -1, -1);
    FrameRect(memoryDC_.get(), &frame, red.get());
  }
  DrawCursor(memoryDC_.get(), area_);
  GdiFlush();

  bits_ = static_cast<const std::uint32_t*>(bits);
  width_ = static_cast<std::uint32_t>(stride);
  height_ = static_cast<std::uint32_t>(height);
  return true;
}

TScreenshotPixels TScreenCapture::Pixels() const {
  TScreenshotPixels picture;
  if (!bits_) return picture;
  GdiFlush();
  picture.width = width_;
  picture.height = height_;
  picture.pixels.assign(bits_, bits_ + static_cast<std::size_t>(width_) * height_);
  for (std::uint32_t& p : picture.pixels) p &= 0xFFFFFF;
  return picture;
}

bool TScreenCapture::SaveScreenshotPNG(const std::string& fileName) const {
  return Captured() && ::SaveScreenshotPNG(Pixels(), fileName);
}

void TScreenCapture::FreeScreenshot() {
  bits_ = nullptr;
  width_ = height_ = 0;
  memoryDC_.reset();
  bitmap_.reset();
  palette_.reset();
}
