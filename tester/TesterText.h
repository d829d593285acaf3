// What the tester window shows for a zone, computed without any window: the list row, its
// sort order, the rule texts of the two memos and the Date Time column.
#pragma once

#include <cstdint>
#include <string>

#include "platform/DateTime.h"
#include "platform/WinTypes.h"
#include "platform/FormatSettings.h"

// "1st", "2nd", "3rd", "4th", "last" for the week numbers 1..5 of a relative rule.
extern const char* const OrdinalNames[5];

// Empty for Bias 0; else "+hh:mm" east of Greenwich (negative Bias), "-hh:mm" west.
std::string GmtCaption(std::int32_t bias);

// The zone list's order: west to east by UTC offset, then the GMT captions without regard to
// case. Negative, zero or positive.
int CompareZoneRows(std::int32_t bias1, const std::string& caption1, std::int32_t bias2,
                    const std::string& caption2);

struct ZoneRowTexts {
  std::string gmt, name, home, standardBias, daylightBias, inDaylight;
};

// The six texts of a zone's row; the Date Time column is filled separately.
ZoneRowTexts ZoneRow(const TIME_ZONE_INFORMATION& zone, const std::string& keyName,
                     const TIME_ZONE_INFORMATION& systemZone, TDateTime utcNow);

// The Date Time column's text of a local time: "yyyy.mm.dd hh:nn", or kOutOfRangeText for a
// value outside years 1..9999 (the local time of a zone with a hostile bias).
extern const char kOutOfRangeText[];
std::string DateTimeColumnText(TDateTime local, const TFormatSettings& settings);

// "%s, %d minute bias".
std::string BiasLine(const WCHAR (&name)[32], std::int64_t bias);

// The rule's time of day plus the offset, wrapped into one day, in the long time format.
std::string GmtTimeText(const SYSTEMTIME& rule, std::int64_t offset, const TFormatSettings& settings);

// "Starts on %s %s of %s at %s GMT" for a relative rule. Values outside the name tables
// (week 0 or above 5, weekday above 6, month outside 1..12) are shown by number.
std::string RuleStartLine(const SYSTEMTIME& rule, std::int64_t offset, const TFormatSettings& settings);

// "This year: " and the transition in the "c" format.
std::string ThisYearLine(TDateTime start, const TFormatSettings& settings);

// "Absolute date: " and the rule's date plus the offset in the "c" format.
std::string AbsoluteDateLine(const SYSTEMTIME& rule, std::int64_t offset,
                             const TFormatSettings& settings);

// The name shown for the zone's state: the daylight or standard name as the zone is in
// daylight time or not, or the key name when that name is empty or the zone has no daylight
// saving.
std::string ZoneStatusText(const TIME_ZONE_INFORMATION& zone, const std::string& keyName,
                           bool hasDaylightRule, bool inDaylight);
