#include "tz/KtTimezone.h"

#include <cmath>

#include "platform/SysUtils.h"
#include "platform/TimeServices.h"
#include "tz/VmoDates.h"

namespace {

constexpr double kTolerance = 1.0 / 864000000.0;  // 0.1 ms in days

// T at or after X, where up to 0.1 ms before X already counts as reaching it.
bool AtOrAfter(TDateTime t, TDateTime x) { return t > x || DateTimesMatch(x, t); }

// T in [from, to): the start tolerant, the end strict.
bool InInterval(TDateTime t, TDateTime from, TDateTime to) { return AtOrAfter(t, from) && t < to; }

double Days(std::int64_t minutes) { return static_cast<double>(minutes) / MinsPerDay; }

// T shifted by whole minutes, exact to the millisecond and held the way encoding a date and a
// time holds it (whole days plus milliseconds / MSecsPerDay). Transition boundaries built so
// compare exactly with encoded instants: a plain T + minutes / 1440 can land one unit in the
// last place before the instant it names, and a strict comparison then puts the transition
// instant itself on the wrong side.
TDateTime ShiftMinutes(TDateTime t, std::int64_t minutes) {
  const double scaled = t * MSecsPerDay;
  constexpr double kExactLimit = 9.0e15;  // integers stay exact in a double below 2^53
  if (!(std::fabs(scaled) < kExactLimit) || minutes > 1e11 || minutes < -1e11)
    return t + Days(minutes);
  constexpr std::int64_t kMsPerDay = 86400000;
  const std::int64_t ms = static_cast<std::int64_t>(RoundHalfEven(scaled)) + minutes * 60000;
  std::int64_t day = ms / kMsPerDay;
  std::int64_t rest = ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --day;
  }
  return static_cast<double>(day) + static_cast<double>(rest) / MSecsPerDay;
}

TDateTime TimeOfRule(const SYSTEMTIME& rule) {
  return EncodeTime(rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

}  // namespace

bool DateTimesMatch(TDateTime a, TDateTime b) { return std::fabs(b - a) < kTolerance; }

TDateTime RoundToMillisecond(TDateTime d) {
  DecodedDateTime parts;
  if (!TryDecodeDateTime(d, parts)) return d;
  TDateTime date, time;
  if (!TryEncodeDate(parts.year, parts.month, parts.day, date) ||
      !TryEncodeTime(parts.hour, parts.minute, parts.second, parts.millisecond, time))
    return d;
  return date + time;
}

TDateTime NthWeekdayOfMonth(int year, int month, int occurrence, int weekday) {
  if (occurrence >= 1 && occurrence <= 4) {
    const int first = DayOfWeek(EncodeDate(year, month, 1));
    int day = weekday + 1 - first;
    if (day <= 0) day += 7;
    day += (occurrence - 1) * 7;
    return EncodeDate(year, month, day);
  }
  if (occurrence == 5) {
    // The 1st is encoded for its validation of year and month; the month length then follows
    // from them directly, as DaysInDateMonth of that date would give it.
    EncodeDate(year, month, 1);
    const int last = DaysInAMonth(year, month);
    const int lastWeekday = DayOfWeek(EncodeDate(year, month, last));
    int day = last + (weekday - lastWeekday);
    if (day > last) day -= 7;
    return EncodeDate(year, month, day);
  }
  return 0;
}

TDateTime TransitionDateForYear(const SYSTEMTIME& rule, int year) {
  if (rule.wMonth == 0) return 0;
  if (rule.wYear != 0) return EncodeDate(rule.wYear, rule.wMonth, rule.wDay) + TimeOfRule(rule);
  return NthWeekdayOfMonth(year, rule.wMonth, rule.wDay, rule.wDayOfWeek + 1) + TimeOfRule(rule);
}

bool GetTransitionsForYear(TIME_ZONE_INFORMATION zone, int year, TDateTime& daylightStart,
                           TDateTime& standardStart, std::int64_t& daylightOffset,
                           std::int64_t& standardOffset) {
  if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) return false;
  try {
    daylightStart = TransitionDateForYear(zone.DaylightDate, year);
    standardStart = TransitionDateForYear(zone.StandardDate, year);
  } catch (const EConvertError&) {
    return false;
  }
  daylightOffset = static_cast<std::int64_t>(zone.Bias) + zone.DaylightBias;
  standardOffset = static_cast<std::int64_t>(zone.Bias) + zone.StandardBias;
  return true;
}

bool GetTransitionsThisYear(TIME_ZONE_INFORMATION zone, TDateTime& daylightStart,
                            TDateTime& standardStart, std::int64_t& daylightOffset,
                            std::int64_t& standardOffset) {
  return GetTransitionsForYear(zone, CurrentYear(), daylightStart, standardStart, daylightOffset,
                               standardOffset);
}

TDateTime ZoneLocalToUTC(TIME_ZONE_INFORMATION zone, bool preferDaylight, TDateTime local) {
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  if (!GetTransitionsForYear(zone, DateYear(local), ds, ss, dOff, sOff))
    return local + Days(zone.Bias);

  // delta = (SO - DO) / 1440 days.
  const TDateTime dsPlusDelta = ShiftMinutes(ds, sOff - dOff);
  const TDateTime ssMinusDelta = ShiftMinutes(ss, dOff - sOff);
  const std::int64_t preferred = preferDaylight ? dOff : sOff;
  // Clocks go forward when daylight time begins (DO < SO): the gap follows the daylight start
  // and the overlap precedes the standard start; otherwise the two swap.
  const bool forward = dOff < sOff;
  const bool overlap = forward ? InInterval(local, ssMinusDelta, ss) : InInterval(local, dsPlusDelta, ds);
  if (overlap) return local + Days(preferred);
  const bool gap = forward ? InInterval(local, ds, dsPlusDelta) : InInterval(local, ss, ssMinusDelta);
  if (gap) return 0;
  // Daylight time inside the calendar year (northern) or spanning the new year (southern).
  if (ds < ss) return local + Days(InInterval(local, ds, ss) ? dOff : sOff);
  return local + Days(InInterval(local, ss, ds) ? sOff : dOff);
}

ZoneOffset ZoneOffsetAtUTC(const TIME_ZONE_INFORMATION& zone, TDateTime utc) {
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  if (!GetTransitionsForYear(zone, DateYear(utc), ds, ss, dOff, sOff)) return {zone.Bias, false};
  // The daylight start is a standard wall time, the standard start a daylight wall time.
  const TDateTime daylightStartUtc = ShiftMinutes(ds, sOff);
  const TDateTime standardStartUtc = ShiftMinutes(ss, dOff);
  const bool daylight = daylightStartUtc < standardStartUtc
                            ? InInterval(utc, daylightStartUtc, standardStartUtc)
                            : !InInterval(utc, standardStartUtc, daylightStartUtc);
  return {daylight ? dOff : sOff, daylight};
}

TDateTime ZoneUTCToLocal(TIME_ZONE_INFORMATION zone, TDateTime utc) {
  return utc - Days(ZoneOffsetAtUTC(zone, utc).minutes);
}

TDateTime SystemLocalToUTC(bool preferDaylight, TDateTime local) {
  TIME_ZONE_INFORMATION zone{};
  TimeServices().GetTimeZoneInformation(zone);
  return ZoneLocalToUTC(zone, preferDaylight, local);
}

std::int64_t GetZoneUTCBias(TIME_ZONE_INFORMATION zone) {
  for (;;) {
    const int before = SystemCurrentBias();
    const TDateTime utc = SystemTimeToDateTime(TimeServices().GetSystemTime());
    const TDateTime local = ZoneUTCToLocal(zone, utc);
    const auto bias = static_cast<std::int64_t>(RoundHalfEven((utc - local) * MinsPerDay));
    if (SystemCurrentBias() == before) return bias;
  }
}

int CompareSystemTimes(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  const WORD left[] = {a.wYear, a.wMonth,  a.wDayOfWeek, a.wDay,
                       a.wHour, a.wMinute, a.wSecond,    a.wMilliseconds};
  const WORD right[] = {b.wYear, b.wMonth,  b.wDayOfWeek, b.wDay,
                        b.wHour, b.wMinute, b.wSecond,    b.wMilliseconds};
  for (int i = 0; i < 8; ++i) {
    if (left[i] < right[i]) return -1;
    if (left[i] > right[i]) return 1;
  }
  return 0;
}

WideString ZoneNameText(const WCHAR (&name)[32]) {
  size_t length = 0;
  while (length < 32 && name[length] != 0) ++length;
  return WideString(name, length);
}

bool SameZoneRules(const TIME_ZONE_INFORMATION& a, const TIME_ZONE_INFORMATION& b) {
  return a.Bias == b.Bias && a.StandardBias == b.StandardBias &&
         a.DaylightBias == b.DaylightBias &&
         CompareSystemTimes(a.StandardDate, b.StandardDate) == 0 &&
         CompareSystemTimes(a.DaylightDate, b.DaylightDate) == 0 &&
         ZoneNameText(a.StandardName) == ZoneNameText(b.StandardName) &&
         ZoneNameText(a.DaylightName) == ZoneNameText(b.DaylightName);
}

int DateTimeToInternetTime(TDateTime utc, TDateTime& beatDay) {
  DecodedDateTime check;
  if (!TryDecodeDateTime(utc, check)) throw EConvertError("Invalid date-time value");
  const TDateTime t = RoundToMillisecond(utc + 1.0 / HoursPerDay);
  beatDay = std::trunc(t);
  return static_cast<int>(RoundHalfEven((t - beatDay) * 1000));
}

TDateTime InternetTimeToDateTime(std::uint16_t beats, TDateTime beatDay) {
  return RoundToMillisecond(std::trunc(RoundToMillisecond(beatDay)) + beats / 1000.0 -
                            1.0 / HoursPerDay);
}
