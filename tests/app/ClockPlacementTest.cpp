#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "app/ClockPlacement.h"
#include "app/ClockSettings.h"
#include "platform/IniFileMemory.h"

namespace {

ScreenRect Strip(std::int64_t left, std::int64_t top) { return {left, top, left + 373, top + 143}; }

const std::vector<ScreenRect> kTwoMonitors = {{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};

}  // namespace

TEST(ClockPlacement, AStripThatCanBeSeenStaysWhereItIs) {
  EXPECT_TRUE(UsefullyVisible(Strip(20, 20), kTwoMonitors));
  EXPECT_TRUE(UsefullyVisible(Strip(2500, 200), kTwoMonitors));  // on the second monitor
  EXPECT_TRUE(UsefullyVisible(Strip(-300, -5), kTwoMonitors));    // 73 pixels still on screen
  EXPECT_FALSE(UsefullyVisible(Strip(-330, 20), kTwoMonitors));   // 43 pixels: not enough
  EXPECT_FALSE(UsefullyVisible(Strip(3000, 200), {kTwoMonitors[0]}));  // the monitor unplugged
  EXPECT_FALSE(UsefullyVisible(Strip(200, 1030), kTwoMonitors));
  EXPECT_FALSE(UsefullyVisible(Strip(INT_MAX, INT_MIN), kTwoMonitors));
  EXPECT_FALSE(UsefullyVisible(Strip(20, 20), {}));
}

TEST(ClockPlacement, AHiddenStripMovesTheLeastDistanceOntoTheArea) {
  const ScreenRect area{0, 0, 1920, 1040};
  const ScreenRect right = MoveIntoArea(Strip(3000, 200), area);
  EXPECT_EQ(right.left, 1920 - 373);
  EXPECT_EQ(right.top, 200);
  EXPECT_EQ(right.Width(), 373);
  const ScreenRect extreme = MoveIntoArea(Strip(INT_MIN, INT_MAX), area);
  EXPECT_EQ(extreme.left, 0);
  EXPECT_EQ(extreme.top, 1040 - 143);
  const ScreenRect tooBig = MoveIntoArea({-50, -50, 3000, 2000}, {100, 20, 1000, 700});
  EXPECT_EQ(tooBig.left, 100);
  EXPECT_EQ(tooBig.top, 20);
}

TEST(ClockPlacement, TicksFollowTheSecondBoundary) {
  EXPECT_EQ(NextTickDelay(0), 1000 + kTickLead);
  EXPECT_EQ(NextTickDelay(kTickLead), 1000u);    // a tick on time keeps the full second
  EXPECT_EQ(NextTickDelay(300), 700 + kTickLead);  // after the clock was set or a resume
  EXPECT_EQ(NextTickDelay(995), 1015u);           // a tick just early skips to the boundary after
  for (unsigned ms = 0; ms < 1000; ++ms) {
    const unsigned delay = NextTickDelay(ms);
    ASSERT_GE(delay, 500u);
    ASSERT_LT(delay, 1500u);
    ASSERT_EQ((ms + delay) % 1000, kTickLead) << ms;
  }
}

TEST(ClockPlacement, ModulePathsOfAnyLengthAreReadWhole) {
  const std::string path = "C:\\" + std::string(3000, 'd') + "\\Dialmoor.exe";
  int calls = 0;
  const auto reader = [&](char* buffer, std::size_t size) -> std::size_t {
    ++calls;
    const std::size_t length = std::min(size, path.size());
    std::memcpy(buffer, path.data(), length);
    return length;
  };
  EXPECT_EQ(ReadGrowingText(reader), path);
  EXPECT_GT(calls, 1);
  EXPECT_EQ(ReadGrowingText(reader, 1024), "");
  EXPECT_EQ(ReadGrowingText([](char*, std::size_t) -> std::size_t { return 0; }), "");
}

TEST(ClockPlacement, AnUnknownProgramPathUsesNoOtherFile) {
  MemoryIniStore store;
  store.SetText(".INI", "[Settings]\r\nTop=99\r\n");
  EXPECT_EQ(LoadClockSettings("", store).Top, 20);
  EXPECT_THROW(SaveClockSettings("", ClockSettings{}, [](std::int32_t c) { return c; }, store),
               EIniFileException);
  EXPECT_FALSE(store.Text("").has_value());
}
