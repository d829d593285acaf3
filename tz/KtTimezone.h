// Zone rule arithmetic: transition dates, local/UTC conversion, current bias, Internet time.
// Routines read the rule record they are given and keep nothing; offsets are minutes with
// UTC = local + offset. Offsets that add two record fields are 64-bit, so no record overflows.
#pragma once

#include <cstdint>

#include "platform/DateTime.h"
#include "platform/WinTypes.h"

// True when A and B are less than 0.1 ms apart.
bool DateTimesMatch(TDateTime a, TDateTime b);

// D rounded to the nearest whole millisecond; D itself when it cannot be decoded and encoded.
TDateTime RoundToMillisecond(TDateTime d);

// The date of the N-th (1..4, 5 = last) weekday (1 = Sunday .. 7) of a month; 0 for an
// occurrence outside 1..5. EConvertError for a date that does not exist.
TDateTime NthWeekdayOfMonth(int year, int month, int occurrence, int weekday);

// The moment a transition rule names in a year; 0 when the rule's wMonth is 0. Absolute rules
// ignore the year. EConvertError for a rule that names no real date or time.
TDateTime TransitionDateForYear(const SYSTEMTIME& rule, int year);

// The start of daylight time (in local standard time), the start of standard time (in local
// daylight time) and the two offsets. False, with the outputs untouched, for a zone without
// daylight saving; false also for a rule that names no real date (daylightStart may be set).
bool GetTransitionsForYear(const TIME_ZONE_INFORMATION& zone, int year, TDateTime& daylightStart,
                           TDateTime& standardStart, std::int64_t& daylightOffset,
                           std::int64_t& standardOffset);
bool GetTransitionsThisYear(const TIME_ZONE_INFORMATION& zone, TDateTime& daylightStart,
                            TDateTime& standardStart, std::int64_t& daylightOffset,
                            std::int64_t& standardOffset);

// Local wall time of the zone to UTC. 0 for a local time in the spring gap; in the autumn
// overlap preferDaylight picks the earlier instant.
TDateTime ZoneLocalToUTC(const TIME_ZONE_INFORMATION& zone, bool preferDaylight, TDateTime local);
// UTC to local wall time of the zone.
TDateTime ZoneUTCToLocal(const TIME_ZONE_INFORMATION& zone, TDateTime utc);

// The offset that ZoneUTCToLocal applies at a UTC instant, and whether it is the daylight one
// (never for a zone without daylight saving, whose offset is the plain Bias).
struct ZoneOffset {
  std::int64_t minutes;
  bool daylight;
};
ZoneOffset ZoneOffsetAtUTC(const TIME_ZONE_INFORMATION& zone, TDateTime utc);
// ZoneLocalToUTC with the system's current zone rule.
TDateTime SystemLocalToUTC(bool preferDaylight, TDateTime local);

// The zone's offset in force now, in minutes (UTC - local).
std::int64_t GetZoneUTCBias(const TIME_ZONE_INFORMATION& zone);

// -1, 0 or 1 comparing the eight fields in record order.
int CompareSystemTimes(const SYSTEMTIME& a, const SYSTEMTIME& b);
// Every field equal; names compared case-sensitively up to their first zero code unit.
bool SameZoneRules(const TIME_ZONE_INFORMATION& a, const TIME_ZONE_INFORMATION& b);

// Beats (0..1000) of the UTC+1 day, and that day as a date. EConvertError for a value that
// is no date-time of years 1..9999.
int DateTimeToInternetTime(TDateTime utc, TDateTime& beatDay);
// The UTC instant of a beat count on a beat day.
TDateTime InternetTimeToDateTime(std::uint16_t beats, TDateTime beatDay);

// A zone name field as text, up to its first zero code unit (at most 32 units).
WideString ZoneNameText(const WCHAR (&name)[32]);
