#include <gtest/gtest.h>

#include <sstream>

#include "delivery/package/EOctree.h"
#include "delivery/package/EPngWriter.h"
#include "delivery/package/EScreenshot.h"
#include "tests/delivery/package/PackageTestSupport.h"

namespace {

TPalette PaletteOf(std::vector<TPaletteColor> colors) {
  TPalette palette{};
  std::copy(colors.begin(), colors.end(), palette.begin());
  return palette;
}

TPalette Quantized(const std::vector<std::uint32_t>& pixels) {
  TScreenshotPixels picture{static_cast<std::uint32_t>(pixels.size()), 1, pixels};
  return OctreePalette(picture);
}

TEST(Octree, PaletteInTreeOrder) {
  EXPECT_EQ(Quantized({0x0A141E, 0x0A141E, 0x0A141E}), PaletteOf({{10, 20, 30}}));
  // Red, green, blue, white, black sit under children 4, 2, 1, 7 and 0 of the root.
  EXPECT_EQ(Quantized({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000}),
            PaletteOf({{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}}));
}

TEST(Octree, The257thLeafFoldsTheNewestDeepestNode) {
  // Blues 0..255 in rising order: the level-7 node made last is that of 254 and 255. Green 1
  // is the 257th leaf; folding 254 once and 255 three times gives blue 1019 / 4 = 254.
  std::vector<std::uint32_t> rising;
  for (std::uint32_t b = 0; b <= 255; ++b) rising.push_back(b);
  rising.insert(rising.end(), {255, 255, 0x000100});
  std::vector<TPaletteColor> expected = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}};
  for (std::uint8_t b = 2; b <= 253; ++b) expected.push_back({0, 0, b});
  expected.push_back({0, 0, 254});
  EXPECT_EQ(Quantized(rising), PaletteOf(expected));

  // Falling order: the newest level-7 node is that of blues 0 and 1, which green 1 joins as a
  // third child; folding three children lowers the leaf total by two, leaving entry 255 unused.
  std::vector<std::uint32_t> falling;
  for (int b = 255; b >= 0; --b) falling.push_back(static_cast<std::uint32_t>(b));
  falling.push_back(0x000100);
  expected = {{0, 0, 0}};
  for (int b = 2; b <= 255; ++b) expected.push_back({0, 0, static_cast<std::uint8_t>(b)});
  EXPECT_EQ(Quantized(falling), PaletteOf(expected));

  TOctreeQuantizer tree;
  for (std::uint32_t p : falling) tree.AddColor(0, p >> 8, p & 0xFF);
  EXPECT_EQ(tree.LeafCount(), 255);
}

TEST(Octree, ManyColoursKeepAtMost256Leaves) {
  TOctreeQuantizer tree;
  std::uint32_t x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245 + 12345;
    tree.AddColor(x >> 24, x >> 16, x >> 8);
    ASSERT_LE(tree.LeafCount(), 256);
  }
  EXPECT_GT(tree.LeafCount(), 200);
}

TEST(PaletteMapping, NearestEntryLowestIndexOnTies) {
  const TPalette palette = PaletteOf({{0, 0, 0}, {10, 10, 10}, {10, 10, 10}, {200, 0, 0}});
  TScreenshotPixels picture{5, 1, {0x060606, 0x050505, 0x0A0A0A, 0xFF0000, 0x640000}};
  EXPECT_EQ(MapToPalette(picture, palette), (std::vector<std::uint8_t>{1, 0, 1, 3, 1}));
}

struct DecodedPng {
  std::uint32_t width = 0, height = 0;
  std::vector<std::size_t> idatSizes;
  std::string paletteHex;
  std::size_t rawLength = 0;
  std::string indicesHex;
};

DecodedPng Decode(const std::string& file) {
  const CommandResult result =
      RunCommand("python3 " + Quote(DIALMOOR_PNG_DECODER) + " " + Quote(file));
  EXPECT_EQ(result.status, 0) << result.output;
  std::istringstream in(result.output);
  DecodedPng png;
  std::string sizes;
  in >> png.width >> png.height;
  in.ignore();
  std::getline(in, sizes);
  std::istringstream sizeList(sizes);
  for (std::size_t n; sizeList >> n;) png.idatSizes.push_back(n);
  in >> png.paletteHex >> png.rawLength >> png.indicesHex;
  return png;
}

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
  return text;
}

class ScreenshotPng : public ::testing::Test {
 protected:
  void ExpectPeersAccept(const TScreenshotPixels& picture, DecodedPng& png) {
    ASSERT_TRUE(SaveScreenshotPNG(picture, file));
    const CommandResult check = RunCommand("pngcheck " + Quote(file));
    EXPECT_EQ(check.status, 0) << check.output;
    png = Decode(file);
    const TIndexedPicture expected = QuantizeScreenshot(picture);
    EXPECT_EQ(png.width, picture.width);
    EXPECT_EQ(png.height, picture.height);
    EXPECT_EQ(png.paletteHex, Hex(&expected.palette[0].red, 768));
    EXPECT_EQ(png.indicesHex, Hex(expected.indices.data(), expected.indices.size()));
  }

  ScratchFolder dir{"dm-png"};
  std::string file = dir.File("Screenshot.png");
};

TEST_F(ScreenshotPng, FewColoursComeBackExactly) {
  TScreenshotPixels picture{7, 3, {}};
  const std::uint32_t colors[] = {0xFF0000, 0x00FF00, 0x123456, 0xFFFFFF, 0x000000};
  for (std::uint32_t i = 0; i < 21; ++i) picture.pixels.push_back(colors[(i * 3 + i / 7) % 5]);
  DecodedPng png;
  ExpectPeersAccept(picture, png);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::size_t entry = std::stoul(png.indicesHex.substr(2 * i, 2), nullptr, 16);
    EXPECT_EQ(std::stoul(png.paletteHex.substr(6 * entry, 6), nullptr, 16), picture.pixels[i]) << i;
  }
}

TEST_F(ScreenshotPng, OnePixelWideRowsAreTwoBytes) {
  TScreenshotPixels picture{1, 5, {0x102030, 0x405060, 0x102030, 0x708090, 0x405060}};
  DecodedPng png;
  ExpectPeersAccept(picture, png);
  EXPECT_EQ(png.rawLength, 10u);
  EXPECT_EQ(png.idatSizes.size(), 1u);
}

TEST_F(ScreenshotPng, LargeDataSplitsIntoFullIdatChunks) {
  // Noise over 256 colours hardly compresses: about 720 KB of rows gives three chunks.
  TScreenshotPixels picture{1024, 700, {}};
  std::uint32_t x = 7;
  for (std::size_t i = 0; i < 1024 * 700; ++i) {
    x = x * 1664525 + 1013904223;
    picture.pixels.push_back(((x >> 24) * 0x010101u) ^ 0x00FF00);
  }
  DecodedPng png;
  ExpectPeersAccept(picture, png);
  ASSERT_GE(png.idatSizes.size(), 3u);
  for (std::size_t i = 0; i + 1 < png.idatSizes.size(); ++i)
    EXPECT_EQ(png.idatSizes[i], PngIdatChunkSize);
  EXPECT_LE(png.idatSizes.back(), PngIdatChunkSize);
}

TEST_F(ScreenshotPng, ManyColoursMapToTheirNearestEntry) {
  TScreenshotPixels picture{64, 64, {}};
  for (std::uint32_t y = 0; y < 64; ++y)
    for (std::uint32_t x = 0; x < 64; ++x)
      picture.pixels.push_back((x * 4) << 16 | (y * 4) << 8 | ((x ^ y) * 4));
  DecodedPng png;
  ExpectPeersAccept(picture, png);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const auto distance = [&](std::size_t entry) {
      int sum = 0;
      for (int c = 0; c < 3; ++c) {
        const int v =
            static_cast<int>(std::stoul(png.paletteHex.substr(6 * entry + 2 * c, 2), nullptr, 16));
        const int p = static_cast<int>((picture.pixels[i] >> (16 - 8 * c)) & 0xFF);
        sum += (v - p) * (v - p);
      }
      return sum;
    };
    const std::size_t chosen = std::stoul(png.indicesHex.substr(2 * i, 2), nullptr, 16);
    for (std::size_t e = 0; e < 256; ++e) ASSERT_LE(distance(chosen), distance(e)) << i;
  }
}

TEST_F(ScreenshotPng, FailureGivesFalseAndNoFile) {
  TScreenshotPixels picture{2, 2, {0, 0, 0, 0}};
  EXPECT_FALSE(SaveScreenshotPNG(picture, dir.File("missing/Screenshot.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  picture.height = 3;  // more rows than pixels
  EXPECT_FALSE(SaveScreenshotPNG(picture, file));
  EXPECT_FALSE(SaveScreenshotPNG(TScreenshotPixels{}, file));
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
