// Zone rule records used across the engine tests.
#pragma once

#include "platform/WinTypes.h"

inline SYSTEMTIME Rule(WORD month, WORD dayOfWeek, WORD occurrence, WORD hour, WORD minute = 0,
                       WORD year = 0) {
  return SYSTEMTIME{year, month, dayOfWeek, occurrence, hour, minute, 0, 0};
}

inline TIME_ZONE_INFORMATION Zone(LONG bias, SYSTEMTIME standardDate, SYSTEMTIME daylightDate,
                                  LONG standardBias = 0, LONG daylightBias = -60) {
  TIME_ZONE_INFORMATION z{};
  z.Bias = bias;
  z.StandardDate = standardDate;
  z.StandardBias = standardBias;
  z.DaylightDate = daylightDate;
  z.DaylightBias = daylightBias;
  return z;
}

// Central Europe: daylight from the last Sunday of March 02:00 to the last Sunday of October 03:00.
inline TIME_ZONE_INFORMATION Berlin() { return Zone(-60, Rule(10, 0, 5, 3), Rule(3, 0, 5, 2)); }
// Eastern Australia: daylight from the first Sunday of October 02:00 to the first Sunday of
// April 03:00.
inline TIME_ZONE_INFORMATION Sydney() { return Zone(-600, Rule(4, 0, 1, 3), Rule(10, 0, 1, 2)); }
// Eastern North America: second Sunday of March to first Sunday of November, both at 02:00.
inline TIME_ZONE_INFORMATION NewYork() { return Zone(300, Rule(11, 0, 1, 2), Rule(3, 0, 2, 2)); }
inline TIME_ZONE_INFORMATION Tokyo() { return Zone(-540, Rule(0, 0, 0, 0), Rule(0, 0, 0, 0), 0, 0); }
