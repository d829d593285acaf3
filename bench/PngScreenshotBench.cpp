// Quantising and writing a 1920 x 1080 screenshot: desktop-like areas of flat colour, title
// bars with gradients, lines of text and a photograph-like corner, in ms of the
// thread's CPU time (mean of ten rounds), so that other work on the machine does not count.
#ifdef _WIN32
#include "platform/win/WinApi.h"
#endif
#include <time.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "delivery/package/EScreenshot.h"

namespace {

// The figure that counts is the one under Wine; the host's is for comparison.
#ifdef _WIN32
constexpr const char* BenchName = "png_screenshot";
#else
constexpr const char* BenchName = "png_screenshot_host";
#endif

// The thread's CPU time. Windows (and Wine) count it in 10 ms ticks, so the figure is the mean
// over enough rounds for a tick to matter little; the host clock is exact.
double ThreadSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>(static_cast<unsigned long long>(t.dwHighDateTime) << 32 |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
#else
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
#endif
}

TScreenshotPixels DesktopPicture() {
  TScreenshotPixels picture{1920, 1080, std::vector<std::uint32_t>(1920 * 1080, 0x3A6EA5)};
  std::uint32_t seed = 1;
  const auto next = [&] {
    seed = seed * 1664525 + 1013904223;
    return seed >> 8;
  };
  // A font of 64 glyphs, 7 x 13 pixels, each pixel one of four shades of grey between ink and
  // paper (anti-aliasing); text is words of these glyphs, as on a real screen.
  constexpr std::uint32_t GlyphWidth = 7, GlyphHeight = 13;
  static const std::uint32_t shades[4] = {0xF0F0F0, 0xA0A0A0, 0x505050, 0x000000};
  std::vector<std::uint32_t> font(64 * GlyphWidth * GlyphHeight);
  for (std::uint32_t& p : font) p = next() % 5 < 3 ? shades[0] : shades[next() % 4];
  for (std::uint32_t w = 0; w < 6; ++w) {
    const std::uint32_t left = 60 + w * 230, top = 40 + w * 120, width = 900, height = 600;
    for (std::uint32_t y = top; y < top + height && y < 1080; ++y)
      for (std::uint32_t x = left; x < left + width && x < 1920; ++x) {
        const std::uint32_t shade = 0x80 + (x - left) * 0x7F / width;
        picture.pixels[y * 1920 + x] =
            y < top + 22 ? shade << 16 | (shade / 2) << 8 | 0x40 : 0xF0F0F0;
      }
    for (std::uint32_t line = top + 30;
         line + GlyphHeight < top + height && line + GlyphHeight < 1080; line += 16) {
      std::uint32_t x = left + 8;
      while (x + GlyphWidth < left + width - 8 && x + GlyphWidth < 1920) {
        const std::uint32_t glyph = next() % 64;
        if (glyph < 8) {  // a space between words
          x += GlyphWidth;
          continue;
        }
        for (std::uint32_t gy = 0; gy < GlyphHeight; ++gy)
          for (std::uint32_t gx = 0; gx < GlyphWidth; ++gx)
            picture.pixels[(line + gy) * 1920 + x + gx] =
                font[(glyph * GlyphHeight + gy) * GlyphWidth + gx];
        x += GlyphWidth;
      }
    }
  }
  // A photograph-like corner: gradients with noise, thousands of colours.
  for (std::uint32_t y = 700; y < 1080; ++y)
    for (std::uint32_t x = 1400; x < 1920; ++x) {
      const std::uint32_t noise = next() % 24;
      picture.pixels[y * 1920 + x] = ((x * 255 / 1920 + noise) & 0xFF) << 16 |
                                     ((y * 255 / 1080 + noise) & 0xFF) << 8 |
                                     ((x + y + noise) & 0xFF);
    }
  return picture;
}

}  // namespace

int main() {
  const TScreenshotPixels picture = DesktopPicture();
  const std::string file =
      (std::filesystem::temp_directory_path() / "dm-bench-Screenshot.png").string();
  constexpr int Rounds = 10;
  const double start = ThreadSeconds();
  for (int round = 0; round < Rounds; ++round) {
    if (!SaveScreenshotPNG(picture, file)) {
      std::fprintf(stderr, "SaveScreenshotPNG failed\n");
      return 1;
    }
  }
  std::printf("BENCH %s %.1f ms\n", BenchName, (ThreadSeconds() - start) * 1000 / Rounds);
  std::filesystem::remove(file);
  return 0;
}
