#include "report/dialog/EDialogCaption.h"

#include <algorithm>

TDialogRect CaptionBarRect(int windowWidth, std::uint32_t style, std::uint32_t exStyle,
                           const TFrameMetrics& metrics) {
  using namespace WindowStyleBits;
  if ((style & Caption) != Caption) return {};
  // The outer frame is the sizing frame of a resizable window, else the dialog frame, which
  // every captioned window without a sizing frame has (the caption style holds it).
  int frameX = metrics.DialogFrameX, frameY = metrics.DialogFrameY;
  if (style & SizingFrame) {
    frameX = metrics.SizingFrameX;
    frameY = metrics.SizingFrameY;
  }
  TDialogRect bar;
  bar.Left = frameX;
  bar.Top = frameY;
  bar.Width = std::max(windowWidth - 2 * frameX, 0);
  bar.Height = (exStyle & ExToolWindow) ? metrics.SmallCaption : metrics.Caption;
  return bar;
}
