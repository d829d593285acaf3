#include "report/dialog/EDialogCaption.h"

#include <gtest/gtest.h>

namespace {

using namespace WindowStyleBits;

// Distinct values (dialog frame 3 x 2, sizing frame 5 x 6, captions 19 and 13), so that a
// frame or caption taken from the wrong metric shows.
constexpr TFrameMetrics Metrics() { return TFrameMetrics{3, 2, 5, 6, 19, 13}; }

TEST(CaptionBar, SitsInsideTheFrameTheStylesGive) {
  // A fixed dialog frame (the send-progress window): the dialog frame, a full caption.
  EXPECT_EQ(CaptionBarRect(200, Caption, 0, Metrics()), (TDialogRect{3, 2, 194, 19}));
  // A resizable tool window (the error dialog): the sizing frame, a small caption.
  EXPECT_EQ(CaptionBarRect(200, Caption | SizingFrame, ExToolWindow, Metrics()),
            (TDialogRect{5, 6, 190, 13}));
}

TEST(CaptionBar, NoneWithoutACaptionAndNeverOfNegativeWidth) {
  EXPECT_EQ(CaptionBarRect(200, Border, 0, Metrics()).Height, 0);
  EXPECT_EQ(CaptionBarRect(200, DialogFrame, 0, Metrics()).Height, 0) << "half a caption style";
  EXPECT_EQ(CaptionBarRect(4, Caption, 0, Metrics()).Width, 0);
}

}  // namespace
