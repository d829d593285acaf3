// Where a window's caption bar lies inside the window, worked out from its frame styles and the
// system's frame metrics: the part that the banner look paints over.
#pragma once

#include <cstdint>

#include "report/dialog/EDialogRules.h"

// The system's window style bits that decide the frame (the values of its headers).
namespace WindowStyleBits {
inline constexpr std::uint32_t Border = 0x00800000;
inline constexpr std::uint32_t DialogFrame = 0x00400000;
inline constexpr std::uint32_t Caption = Border | DialogFrame;
inline constexpr std::uint32_t SizingFrame = 0x00040000;
inline constexpr std::uint32_t ExToolWindow = 0x00000080;
}  // namespace WindowStyleBits

// The system metrics of the frames, in pixels (SM_CXDLGFRAME ... SM_CYSMCAPTION).
struct TFrameMetrics {
  int DialogFrameX = 3, DialogFrameY = 3;
  int SizingFrameX = 4, SizingFrameY = 4;
  int Caption = 19, SmallCaption = 15;
};

// The caption bar in window coordinates (0, 0 is the window's top left corner): inside the
// outer frame, as wide as the window less both sides of the frame, as high as a caption (a
// small one for a tool window). Empty for a window without a caption.
TDialogRect CaptionBarRect(int windowWidth, std::uint32_t style, std::uint32_t exStyle,
                           const TFrameMetrics& metrics);
