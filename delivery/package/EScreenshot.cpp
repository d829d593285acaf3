#include "delivery/package/EScreenshot.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "delivery/package/EPackageFiles.h"
#include "delivery/package/EPngWriter.h"

namespace {

constexpr std::uint8_t Red(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t Green(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t Blue(std::uint32_t p) { return static_cast<std::uint8_t>(p); }

// The nearest palette entry, searched among the entries that can be nearest anywhere in the
// pixel's cell of colour space (8 x 8 x 8 cells): an entry whose smallest distance to the cell
// exceeds the largest distance of some other entry to it never wins there. The candidates of a
// cell are found on its first use and kept in index order, so the lowest index wins a tie.
class NearestEntrySearch {
 public:
  explicit NearestEntrySearch(const TPalette& palette) : palette_(palette) {}

  std::uint8_t Find(std::uint32_t pixel) {
    const int r = Red(pixel), g = Green(pixel), b = Blue(pixel);
    std::vector<std::uint8_t>& candidates = cells_[(r >> 5) * 64 + (g >> 5) * 8 + (b >> 5)];
    if (candidates.empty()) candidates = Candidates(r >> 5 << 5, g >> 5 << 5, b >> 5 << 5);
    int best = 1 << 30;
    std::uint8_t bestIndex = 0;
    for (const std::uint8_t i : candidates) {
      const int dr = r - palette_[i].red, dg = g - palette_[i].green, db = b - palette_[i].blue;
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < best) {
        best = distance;
        bestIndex = i;
      }
    }
    return bestIndex;
  }

 private:
  static int Square(int v) { return v * v; }
  static int Nearest(int v, int low) { return v < low ? low - v : v > low + 31 ? v - low - 31 : 0; }
  static int Farthest(int v, int low) {
    return std::max(std::abs(v - low), std::abs(v - low - 31));
  }

  std::vector<std::uint8_t> Candidates(int r, int g, int b) const {
    int bound = 1 << 30;
    for (const TPaletteColor& e : palette_)
      bound = std::min(bound, Square(Farthest(e.red, r)) + Square(Farthest(e.green, g)) +
                                  Square(Farthest(e.blue, b)));
    std::vector<std::uint8_t> result;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const TPaletteColor& e = palette_[i];
      if (Square(Nearest(e.red, r)) + Square(Nearest(e.green, g)) + Square(Nearest(e.blue, b)) <=
          bound)
        result.push_back(static_cast<std::uint8_t>(i));
    }
    return result;
  }

  const TPalette& palette_;
  std::array<std::vector<std::uint8_t>, 512> cells_;
};

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
  NearestEntrySearch search(palette);
  std::vector<std::uint8_t> indices(picture.pixels.size());
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::uint32_t color = picture.pixels[i] & 0xFFFFFF;
    const std::size_t slot = ((color * 2654435761u) >> 16) & (CacheSize - 1);
    if (cacheKey[slot] != (color | 0x1000000)) {
      cacheKey[slot] = color | 0x1000000;
      cacheIndex[slot] = search.Find(color);
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
