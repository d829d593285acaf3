// Where the clock window goes and when it ticks, without any window: keeping a stored position
// that leaves the strip out of sight off the screen, and the phase of the second tick.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A rectangle in screen pixels; 64-bit, so that stored positions at the limits of the
// settings' integers cannot overflow when the window's size is added.
struct ScreenRect {
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
  std::int64_t Width() const { return right - left; }
  std::int64_t Height() const { return bottom - top; }
};

// Whether enough of the window lies on one of the work areas to be seen and grabbed: at least
// kUsefulWidth x kUsefulHeight pixels of it (or all of it, when it is smaller).
inline constexpr int kUsefulWidth = 64, kUsefulHeight = 24;
bool UsefullyVisible(const ScreenRect& window, const std::vector<ScreenRect>& workAreas);

// The window moved (not resized) the least distance into the work area; a window larger than
// the area keeps its top-left corner in it.
ScreenRect MoveIntoArea(const ScreenRect& window, const ScreenRect& workArea);

// Milliseconds from a moment `msIntoSecond` (0..999) into a UTC second until kTickLead ms
// after a later second boundary, at least half a second away: a timer armed with it fires
// just after the displayed second changes, and a tick that fired a little early or late is
// put back in phase by the next one.
inline constexpr unsigned kTickLead = 10;
unsigned NextTickDelay(unsigned msIntoSecond);

// A text read by a call that fills a buffer and gives the length it wrote (the buffer's size
// when the text did not fit): the buffer grows until the text fits. Empty when the reader
// reports 0 (failure) or the text would exceed maxSize.
std::string ReadGrowingText(const std::function<std::size_t(char* buffer, std::size_t size)>& read,
                            std::size_t maxSize = 1 << 20);
