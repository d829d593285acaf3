// A real capture under Wine: a topmost window painted in two known colours, a given dialog
// rectangle inside it, and the mouse over it.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "delivery/package/EScreenCaptureWin32.h"

namespace {

constexpr COLORREF Paper = RGB(0, 128, 255);
constexpr COLORREF Ink = RGB(255, 255, 0);
constexpr RECT WindowRect = {100, 100, 402, 300};  // 302 wide: the picture rounds up to 304
constexpr RECT InkRect = {20, 20, 150, 120};       // client coordinates
constexpr RECT Dialog = {130, 150, 230, 200};      // screen coordinates, inside the ink

std::uint32_t Pixel(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

LRESULT CALLBACK PaintProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PaintScope paint(window);
    RECT client;
    GetClientRect(window, &client);
    UniqueBrush paper(CreateSolidBrush(Paper)), ink(CreateSolidBrush(Ink));
    FillRect(paint.get(), &client, paper.get());
    FillRect(paint.get(), &InkRect, ink.get());
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

class ScreenCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCursorPos(&savedCursor_);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PaintProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "DialmoorCaptureTest";
    RegisterClassA(&wc);
    window_.reset(CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP, WindowRect.left,
                                  WindowRect.top, WindowRect.right - WindowRect.left,
                                  WindowRect.bottom - WindowRect.top, nullptr, nullptr,
                                  wc.hInstance, nullptr));
    ASSERT_TRUE(window_);
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    UpdateWindow(window_.get());
    cursor_ = {WindowRect.left + 200, WindowRect.top + 150};  // over the paper
    SetCursorPos(cursor_.x, cursor_.y);
    SetCursor(wc.hCursor);
    // The X server shows the window a little later than Wine paints it.
    for (int i = 0; i < 100; ++i) {
      Pump(30);
      ASSERT_TRUE(capture_.CaptureScreen(false, std::nullopt));
      if (At(capture_.Pixels(), WindowRect.left + 10, WindowRect.top + 10) == Pixel(Paper)) break;
    }
  }
  void TearDown() override { SetCursorPos(savedCursor_.x, savedCursor_.y); }

  static std::uint32_t At(const TScreenshotPixels& picture, LONG x, LONG y) {
    return picture
        .pixels[static_cast<std::size_t>(y) * picture.width + static_cast<std::size_t>(x)];
  }

  // The two frames on the dialog's outermost pixels, ink just inside and outside them.
  static void ExpectFrames(const TScreenshotPixels& picture, LONG dx, LONG dy) {
    const std::uint32_t red = 0xFF0000, ink = Pixel(Ink);
    const LONG left = Dialog.left - dx, top = Dialog.top - dy;
    const LONG right = Dialog.right - 1 - dx, bottom = Dialog.bottom - 1 - dy;
    const LONG midX = (left + right) / 2, midY = (top + bottom) / 2;
    for (LONG i : {0, 1}) {
      EXPECT_EQ(At(picture, left + i, midY), red) << i;
      EXPECT_EQ(At(picture, right - i, midY), red) << i;
      EXPECT_EQ(At(picture, midX, top + i), red) << i;
      EXPECT_EQ(At(picture, midX, bottom - i), red) << i;
      EXPECT_EQ(At(picture, left + 1 + i, top + 1 + i), i == 0 ? red : ink) << i;
    }
    EXPECT_EQ(At(picture, left - 1, midY), ink);
    EXPECT_EQ(At(picture, left + 2, midY), ink);
    EXPECT_EQ(At(picture, midX, bottom + 1), ink);
    EXPECT_EQ(At(picture, midX, bottom - 2), ink);
  }

  std::string ShotFile(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return (std::filesystem::path(exe).parent_path() / name).string();
  }

  UniqueWindow window_;
  TScreenCapture capture_;
  POINT savedCursor_{}, cursor_{};
};

TEST_F(ScreenCapture, DesktopWithFramesAndCursor) {
  ASSERT_EQ(GetForegroundWindow(), window_.get());
  ASSERT_TRUE(capture_.CaptureScreen(false, Dialog));
  const TScreenshotPixels picture = capture_.Pixels();
  const RECT area = capture_.Area();
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.top, 0);
  EXPECT_EQ(picture.width, (static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN)) + 3) & ~3u);
  EXPECT_EQ(picture.height, static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_EQ(At(picture, WindowRect.left, WindowRect.top), Pixel(Paper));
  EXPECT_EQ(At(picture, WindowRect.left + InkRect.left, WindowRect.top + InkRect.top), Pixel(Ink));
  ExpectFrames(picture, 0, 0);

  // The arrow's black and white pixels over the paper where the mouse is.
  int arrow = 0;
  for (LONG y = cursor_.y - 4; y < cursor_.y + 20; ++y)
    for (LONG x = cursor_.x - 4; x < cursor_.x + 20; ++x) {
      const std::uint32_t p = At(picture, x, y);
      arrow += p == 0 || p == 0xFFFFFF;
    }
  EXPECT_GT(arrow, 20);

  const std::string shot = ShotFile("ScreenCapture-desktop.png");
  ASSERT_TRUE(capture_.SaveScreenshotPNG(shot));
  std::ifstream in(shot, std::ios::binary);
  const std::string png{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
}

TEST_F(ScreenCapture, ForegroundWindowOnlyRoundsItsWidthUp) {
  ASSERT_TRUE(capture_.CaptureScreen(true, Dialog));
  const RECT area = capture_.Area();
  EXPECT_EQ(area.left, WindowRect.left);
  EXPECT_EQ(area.right, WindowRect.right);
  const TScreenshotPixels picture = capture_.Pixels();
  ASSERT_EQ(picture.width, 304u);
  ASSERT_EQ(picture.height, 200u);
  EXPECT_EQ(At(picture, 5, 5), Pixel(Paper));
  EXPECT_EQ(At(picture, 301, 199), Pixel(Paper));
  EXPECT_EQ(At(picture, 302, 10), 0u);  // the rounding columns stay black
  EXPECT_EQ(At(picture, 303, 199), 0u);
  ExpectFrames(picture, WindowRect.left, WindowRect.top);
  ASSERT_TRUE(capture_.SaveScreenshotPNG(ShotFile("ScreenCapture-foreground.png")));

  capture_.FreeScreenshot();
  EXPECT_FALSE(capture_.Captured());
  EXPECT_TRUE(capture_.Pixels().pixels.empty());
  EXPECT_FALSE(capture_.SaveScreenshotPNG(ShotFile("ScreenCapture-none.png")));
}

}  // namespace
