// The screenshot as the writer sees it: 24-bit pixels in, an octree palette and an 8-bit
// palette PNG out. The Windows capture fills the pixels (EScreenCaptureWin32.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "delivery/package/EOctree.h"

struct TScreenshotPixels {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // Rows top to bottom, each pixel 0x00RRGGBB (blue in the low byte, as a 32-bit
  // device-independent bitmap holds it).
  std::vector<std::uint32_t> pixels;
};

struct TIndexedPicture {
  TPalette palette{};
  std::vector<std::uint8_t> indices;  // one per pixel, rows top to bottom
};

// The palette of the picture's octree, taking the pixels row by row from the top.
TPalette OctreePalette(const TScreenshotPixels& picture);
// Each pixel becomes the palette entry nearest to it (smallest sum of squared differences of
// red, green and blue; the lowest index among equals), as a 24-to-8-bit blit does.
std::vector<std::uint8_t> MapToPalette(const TScreenshotPixels& picture, const TPalette& palette);
TIndexedPicture QuantizeScreenshot(const TScreenshotPixels& picture);

// Writes the picture as an 8-bit palette PNG. A failure leaves no file and gives false; it
// raises nothing.
bool SaveScreenshotPNG(const TScreenshotPixels& picture, const std::string& fileName);
