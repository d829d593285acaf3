#include "app/ClockPlacement.h"

#include <algorithm>

bool UsefullyVisible(const ScreenRect& window, const std::vector<ScreenRect>& workAreas) {
  const std::int64_t wantWidth = std::min<std::int64_t>(kUsefulWidth, window.Width());
  const std::int64_t wantHeight = std::min<std::int64_t>(kUsefulHeight, window.Height());
  for (const ScreenRect& area : workAreas) {
    const std::int64_t width = std::min(window.right, area.right) - std::max(window.left, area.left);
    const std::int64_t height = std::min(window.bottom, area.bottom) - std::max(window.top, area.top);
    if (width >= wantWidth && height >= wantHeight && width > 0 && height > 0) return true;
  }
  return false;
}

namespace {

std::int64_t MoveInto(std::int64_t start, std::int64_t length, std::int64_t areaStart,
                      std::int64_t areaEnd) {
  if (start + length > areaEnd) start = areaEnd - length;
  return std::max(start, areaStart);
}

}  // namespace

ScreenRect MoveIntoArea(const ScreenRect& window, const ScreenRect& workArea) {
  ScreenRect moved;
  moved.left = MoveInto(window.left, window.Width(), workArea.left, workArea.right);
  moved.top = MoveInto(window.top, window.Height(), workArea.top, workArea.bottom);
  moved.right = moved.left + window.Width();
  moved.bottom = moved.top + window.Height();
  return moved;
}

unsigned NextTickDelay(unsigned msIntoSecond) {
  const unsigned delay = 1000 - std::min(msIntoSecond, 999u) + kTickLead;
  return delay < 500 ? delay + 1000 : delay;
}

std::string ReadGrowingText(const std::function<std::size_t(char* buffer, std::size_t size)>& read,
                            std::size_t maxSize) {
  std::string buffer(256, '\0');
  for (;;) {
    const std::size_t length = read(buffer.data(), buffer.size());
    if (length == 0) return {};
    if (length < buffer.size()) return buffer.substr(0, length);
    if (buffer.size() >= maxSize) return {};
    buffer.assign(std::min(buffer.size() * 2, maxSize), '\0');
  }
}
