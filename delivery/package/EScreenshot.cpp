#include "delivery/package/EScreenshot.h"

#include <array>

#include "delivery/package/EPackageFiles.h"
#include "delivery/package/EPngWriter.h"

namespace {

constexpr std::uint8_t Red(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t Green(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t Blue(std::uint32_t p) { return static_cast<std::uint8_t>(p); }

std::uint8_t NearestEntry(std::uint32_t pixel, const TPalette& palette) {
  const int r = Red(pixel), g = Green(pixel), b = Blue(pixel);
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    const int dr = r - palette[i].red, dg = g - palette[i].green, db = b - palette[i].blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace

TPalette OctreePalette(const TScreenshotPixels& picture) {
  TOctreeQuantizer tree;
  for (const std::uint32_t p : picture.pixels) tree.AddColor(Red(p), Green(p), Blue(p));
  return tree.Palette();
}

std::vector<std::uint8_t> MapToPalette(const TScreenshotPixels& picture, const TPalette& palette) {
  // A screenshot has few colours compared with its pixels: remember recent answers in a
  // direct-mapped table keyed by the colour (bit 24 marks a filled slot).
  constexpr std::size_t CacheSize = 1 << 16;
  std::vector<std::uint32_t> cacheKey(CacheSize, 0);
  std::vector<std::uint8_t> cacheIndex(CacheSize);
  std::vector<std::uint8_t> indices(picture.pixels.size());
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::uint32_t color = picture.pixels[i] & 0xFFFFFF;
    const std::size_t slot = ((color * 2654435761u) >> 16) & (CacheSize - 1);
    if (cacheKey[slot] != (color | 0x1000000)) {
      cacheKey[slot] = color | 0x1000000;
      cacheIndex[slot] = NearestEntry(color, palette);
    }
    indices[i] = cacheIndex[slot];
  }
  return indices;
}

TIndexedPicture QuantizeScreenshot(const TScreenshotPixels& picture) {
  TIndexedPicture result;
  result.palette = OctreePalette(picture);
  result.indices = MapToPalette(picture, result.palette);
  return result;
}

bool SaveScreenshotPNG(const TScreenshotPixels& picture, const std::string& fileName) {
  TMemoryStream png;
  try {
    if (picture.width == 0 || picture.pixels.size() / picture.width < picture.height) return false;
    const TIndexedPicture indexed = QuantizeScreenshot(picture);
    WritePalettePNG(png, picture.width, picture.height, indexed.palette, indexed.indices);
  } catch (const std::exception&) {
    return false;
  }
  try {
    WritePackageFile(fileName, png.Bytes());
    return true;
  } catch (const std::exception&) {
    DeletePackageFile(fileName);
    return false;
  }
}
