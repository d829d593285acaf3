#include "report/dialog/EDialogBannerWin32.h"

#include "platform/win/UniqueHandle.h"

namespace {

COLORREF Darker(COLORREF c) {
  const auto scale = [](int v) { return static_cast<BYTE>(v * 0.96); };
  return RGB(scale(GetRValue(c)), scale(GetGValue(c)), scale(GetBValue(c)));
}

void FrameLine(HDC dc, const RECT& r, COLORREF colour) {
  UniqueBrush brush(CreateSolidBrush(colour));
  FrameRect(dc, &r, brush.get());
}

}  // namespace

void PaintBanner(HDC dc, const RECT& band, const std::string& caption, HFONT captionFont,
                 bool active) {
  COLORREF colour = active ? RGB(0x82, 0x9A, 0xC2) : RGB(0x97, 0x97, 0x97);
  for (int y = band.top; y < band.bottom; y += 2) {
    RECT stripe{band.left, y, band.right, std::min<LONG>(y + 2, band.bottom)};
    UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &stripe, brush.get());
    colour = Darker(colour);
  }
  FrameLine(dc, band, active ? RGB(0x40, 0x40, 0x40) : RGB(0x30, 0x30, 0x30));
  RECT inner{band.left + 1, band.top + 1, band.right - 1, band.bottom - 1};
  FrameLine(dc, inner, active ? RGB(0x80, 0x80, 0x80) : RGB(0x60, 0x60, 0x60));

  SelectedObject font(
      dc, captionFont ? static_cast<HGDIOBJ>(captionFont) : GetCurrentObject(dc, OBJ_FONT));
  SetBkMode(dc, TRANSPARENT);
  RECT text{band.left + 13, band.top, band.right - 8, band.bottom};
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
  SetTextColor(dc, RGB(0x22, 0x22, 0x22));
  DrawTextA(dc, caption.c_str(), -1, &text, format);
  OffsetRect(&text, -1, 0);
  SetTextColor(dc, active ? RGB(0xFF, 0xFF, 0xFF) : RGB(0xE0, 0xE0, 0xE0));
  DrawTextA(dc, caption.c_str(), -1, &text, format);
}
