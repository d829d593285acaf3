// Time services with a zone and clock set by the test.
#pragma once

#include "platform/DateTime.h"
#include "platform/TimeServices.h"

class FakeTimeServices final : public ITimeServices {
 public:
  TIME_ZONE_INFORMATION zone{};
  DWORD answer = TIME_ZONE_ID_UNKNOWN;
  SYSTEMTIME utc{2024, 1, 1, 1, 12, 0, 0, 0};
  SYSTEMTIME local{2024, 1, 1, 1, 12, 0, 0, 0};
  int zoneCalls = 0;
  // Called before each zone query; lets a test change the zone between two reads.
  void (*onZoneQuery)(FakeTimeServices&) = nullptr;

  DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION& out) override {
    ++zoneCalls;
    if (onZoneQuery) onZoneQuery(*this);
    out = zone;
    return answer;
  }
  SYSTEMTIME GetSystemTime() override { return utc; }
  SYSTEMTIME GetLocalTime() override { return local; }

  void SetUtc(TDateTime value) { utc = DateTimeToSystemTime(value); }
};
