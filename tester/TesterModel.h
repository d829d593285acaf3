// The tester's conversion rules without any window: what the conversion panel shows after a
// recomputation, the local times of the start buttons, each row's current local time, the
// order of the zone list and the row that stands for the system's own rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/WinTypes.h"

// The whole days of the date picker's value and the time of day of the time picker's value,
// each first rounded to the millisecond, joined as the runtime joins a date and a time.
TDateTime JoinPickerValues(TDateTime date, TDateTime time);

// True when the value decodes to a date-time of years 1..9999, which a picker can show.
bool IsShowableDateTime(TDateTime value);

// Which field the user changed: the local time, the UTC time or the Internet time.
enum class PanelSource { Local, UTC, InternetTime };

// What the panel's fields show when a recomputation starts.
struct PanelFields {
  TDateTime local = 0;    // local date and time
  TDateTime utc = 0;      // UTC date and time
  int beats = 0;          // beat count
  TDateTime beatDay = 0;  // beat day
};

// What a recomputation shows. The UTC row is `invalid` for a local time that never occurs in
// the zone or whose UTC lies outside years 1..9999; the UTC fields then keep their values.
struct PanelState {
  std::optional<TDateTime> local;    // set when the UTC side was the source
  std::optional<TDateTime> utc;      // set when the Internet time was the source
  bool invalid = false;
  TDateTime firstUtc = 0;            // the UTC row, unless invalid
  std::optional<TDateTime> secondUtc;  // the other reading of a local time that occurs twice
  // The beat counts (0..1000) and beat days of the two UTC readings; none for a reading whose
  // beat day lies beyond 31 December 9999.
  std::optional<std::pair<int, TDateTime>> beats, secondBeats;
};

PanelState RecomputePanel(const TIME_ZONE_INFORMATION& zone, PanelSource source,
                          const PanelFields& shown);

// The local time the start buttons set: the first instant of standard time, read in standard
// time, or the daylight start. None for a zone without daylight saving this year.
enum class StartButton { Standard, Daylight };
std::optional<TDateTime> StartButtonLocal(const TIME_ZONE_INFORMATION& zone, StartButton button);

// A row's current local time in its zone and whether daylight time is in force there; `shown`
// is false when that local time lies outside years 1..9999 (a hostile bias).
struct ZoneTime {
  TDateTime local = 0;
  bool daylight = false;
  bool shown = false;
  double minute = 0;  // the local minute as a count, for telling when the text changes
};
ZoneTime ZoneTimeAt(const TIME_ZONE_INFORMATION& zone, TDateTime utcNow);

// The order in which the zone list shows zones of these biases (indexes into `biases`): west
// to east; among equal non-zero biases the later zone first, among biases 0 catalogue order.
// This is the order that sorting the list each time a row is attached, while the new row's
// caption is still empty, gives; computed once it keeps the fill linear.
std::vector<int> ZoneListOrder(const std::vector<std::int32_t>& biases);

// The name of the row added for the system's own rule when no catalogue zone has it: its
// standard name, else its daylight name, else "Local time".
std::string SystemZoneRowName(const TIME_ZONE_INFORMATION& systemZone);
