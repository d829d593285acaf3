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
  return CombineDateTime(date, time);
}

namespace {

// Inside the engine instants are continuous counts of days (DateTimeToDays), in which the
// interval tests and the offset arithmetic hold also before 30 December 1899.
int YearOfDays(double days) { return DateYear(DaysToDateTime(days)); }

// The transition arithmetic without exceptions: conversions call it for every value, and a
// rule that names no real date is an expected outcome there, not an error.
bool TryNthWeekdayOfMonth(int year, int month, int occurrence, int weekday, TDateTime& date) {
  // A weekday outside 1..7 names no day, even where the arithmetic below stays in the month.
  if (weekday < 1 || weekday > 7) return false;
  if (occurrence < 1 || occurrence > 5) {
    date = 0;
    return true;
  }
  int first, length;
  if (!TryEncodeMonthStart(year, month, first, length)) return false;
  int day;
  if (occurrence <= 4) {
    day = weekday + 1 - WeekdayOfDayNumber(first);
    if (day <= 0) day += 7;
    day += (occurrence - 1) * 7;
  } else {
    // L is the month's length, as DaysInDateMonth of the 1st gives it.
    day = length + (weekday - WeekdayOfDayNumber(first + length - 1));
    if (day > length) day -= 7;
  }
  if (day < 1 || day > length) return false;
  date = first + day - 1;
  return true;
}

// The moment as a continuous count of days.
bool TryTransitionDateForYear(const SYSTEMTIME& rule, int year, double& moment) {
  if (rule.wMonth == 0) {
    moment = 0;
    return true;
  }
  TDateTime date, time;
  const bool dateOk = rule.wYear != 0
                          ? TryEncodeDate(rule.wYear, rule.wMonth, rule.wDay, date)
                          : TryNthWeekdayOfMonth(year, rule.wMonth, rule.wDay, rule.wDayOfWeek + 1, date);
  if (!dateOk || !TryEncodeTime(rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds, time))
    return false;
  moment = date + time;
  return true;
}

// The boundary T + minutes as ShiftMinutes gives it exactly, where that matters: an instant
// more than a millisecond from the plain sum compares alike with both.
TDateTime Boundary(TDateTime t, double minutes, TDateTime probe) {
  const TDateTime plain = t + minutes / MinsPerDay;
  if (std::fabs(probe - plain) > 1.0 / MSecsPerDay) return plain;
  return ShiftMinutes(t, minutes);
}

// One year of a zone's rule. Offsets are held as doubles: the sum of two 32-bit fields is
// exact there, and on i686 a double is far cheaper to work with than a 64-bit integer.
struct YearRule {
  TDateTime daylightStart, standardStart;
  double daylightOffset, standardOffset;
};

bool TryYearRule(const TIME_ZONE_INFORMATION& zone, int year, YearRule& rule) {
  if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) return false;
  if (!TryTransitionDateForYear(zone.DaylightDate, year, rule.daylightStart) ||
      !TryTransitionDateForYear(zone.StandardDate, year, rule.standardStart))
    return false;
  rule.daylightOffset = static_cast<double>(zone.Bias) + zone.DaylightBias;
  rule.standardOffset = static_cast<double>(zone.Bias) + zone.StandardBias;
  return true;
}

// The offset, in minutes, that ZoneUTCToLocal applies at a UTC instant.
double OffsetAtUTC(const TIME_ZONE_INFORMATION& zone, TDateTime utc, bool& daylight) {
  YearRule r;
  daylight = false;
  if (!TryYearRule(zone, YearOfDays(utc), r)) return zone.Bias;
  // The daylight start is a standard wall time, the standard start a daylight wall time.
  const TDateTime daylightStartUtc = Boundary(r.daylightStart, r.standardOffset, utc);
  const TDateTime standardStartUtc = Boundary(r.standardStart, r.daylightOffset, utc);
  daylight = daylightStartUtc < standardStartUtc
                 ? InInterval(utc, daylightStartUtc, standardStartUtc)
                 : !InInterval(utc, standardStartUtc, daylightStartUtc);
  return daylight ? r.daylightOffset : r.standardOffset;
}

}  // namespace

TDateTime NthWeekdayOfMonth(int year, int month, int occurrence, int weekday) {
  TDateTime date;
  if (!TryNthWeekdayOfMonth(year, month, occurrence, weekday, date))
    throw EConvertError("Invalid argument to date encode");
  return date;
}

TDateTime TransitionDateForYear(const SYSTEMTIME& rule, int year) {
  if (rule.wMonth == 0) return 0;
  // Raise the error the first failing encoding would raise: the date's, then the time's.
  const TDateTime date = rule.wYear != 0
                             ? EncodeDate(rule.wYear, rule.wMonth, rule.wDay)
                             : NthWeekdayOfMonth(year, rule.wMonth, rule.wDay, rule.wDayOfWeek + 1);
  return CombineDateTime(date, TimeOfRule(rule));
}

bool GetTransitionsForYear(const TIME_ZONE_INFORMATION& zone, int year, TDateTime& daylightStart,
                           TDateTime& standardStart, std::int64_t& daylightOffset,
                           std::int64_t& standardOffset) {
  if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) return false;
  TDateTime daylight, standard;
  const bool daylightOk = TryTransitionDateForYear(zone.DaylightDate, year, daylight);
  if (daylightOk) daylightStart = DaysToDateTime(daylight);
  if (!daylightOk || !TryTransitionDateForYear(zone.StandardDate, year, standard)) return false;
  standardStart = DaysToDateTime(standard);
  daylightOffset = static_cast<std::int64_t>(zone.Bias) + zone.DaylightBias;
  standardOffset = static_cast<std::int64_t>(zone.Bias) + zone.StandardBias;
  return true;
}

bool GetTransitionsThisYear(const TIME_ZONE_INFORMATION& zone, TDateTime& daylightStart,
                            TDateTime& standardStart, std::int64_t& daylightOffset,
                            std::int64_t& standardOffset) {
  return GetTransitionsForYear(zone, CurrentYear(), daylightStart, standardStart, daylightOffset,
                               standardOffset);
}

TDateTime ZoneLocalToUTC(const TIME_ZONE_INFORMATION& zone, bool preferDaylight, TDateTime localValue) {
  const double local = DateTimeToDays(localValue);
  const auto utc = [local](double minutes) { return DaysToDateTime(local + minutes / MinsPerDay); };
  YearRule r;
  if (!TryYearRule(zone, DateYear(localValue), r)) return utc(zone.Bias);
  const TDateTime ds = r.daylightStart, ss = r.standardStart;
  const double dOff = r.daylightOffset, sOff = r.standardOffset;

  // delta = (SO - DO) / 1440 days.
  const TDateTime dsPlusDelta = Boundary(ds, sOff - dOff, local);
  const TDateTime ssMinusDelta = Boundary(ss, dOff - sOff, local);
  // Clocks go forward when daylight time begins (DO < SO): the gap follows the daylight start
  // and the overlap precedes the standard start; otherwise the two swap.
  const bool forward = dOff < sOff;
  const bool overlap = forward ? InInterval(local, ssMinusDelta, ss) : InInterval(local, dsPlusDelta, ds);
  if (overlap) return utc(preferDaylight ? dOff : sOff);
  const bool gap = forward ? InInterval(local, ds, dsPlusDelta) : InInterval(local, ss, ssMinusDelta);
  if (gap) return 0;
  // Daylight time inside the calendar year (northern) or spanning the new year (southern).
  if (ds < ss) return utc(InInterval(local, ds, ss) ? dOff : sOff);
  return utc(InInterval(local, ss, ds) ? sOff : dOff);
}

ZoneOffset ZoneOffsetAtUTC(const TIME_ZONE_INFORMATION& zone, TDateTime utc) {
  bool daylight;
  const double minutes = OffsetAtUTC(zone, DateTimeToDays(utc), daylight);
  return {static_cast<std::int64_t>(minutes), daylight};
}

TDateTime ZoneUTCToLocal(const TIME_ZONE_INFORMATION& zone, TDateTime utc) {
  bool daylight;
  const double days = DateTimeToDays(utc);
  return DaysToDateTime(days - OffsetAtUTC(zone, days, daylight) / MinsPerDay);
}

TDateTime SystemLocalToUTC(bool preferDaylight, TDateTime local) {
  TIME_ZONE_INFORMATION zone{};
  TimeServices().GetTimeZoneInformation(zone);
  return ZoneLocalToUTC(zone, preferDaylight, local);
}

std::int64_t GetZoneUTCBias(const TIME_ZONE_INFORMATION& zone) {
  for (;;) {
    const int before = SystemCurrentBias();
    const TDateTime utc = SystemTimeToDateTime(TimeServices().GetSystemTime());
    const TDateTime local = ZoneUTCToLocal(zone, utc);
    const double minutes = (DateTimeToDays(utc) - DateTimeToDays(local)) * MinsPerDay;
    const auto bias = static_cast<std::int64_t>(RoundHalfEven(minutes));
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

namespace {

constexpr double kMsPerHour = 3600000;
constexpr double kMsPerBeat = 86400;

// Whole days (floor) and milliseconds into that day of a millisecond count, held the way
// EncodeDate plus EncodeTime hold an instant.
TDateTime DaysAndMilliseconds(double ms, double& day, double& msOfDay) {
  day = std::floor(ms / MSecsPerDay);
  msOfDay = ms - day * MSecsPerDay;
  if (msOfDay >= MSecsPerDay) {  // a quotient rounded up to the next whole day
    day += 1;
    msOfDay -= MSecsPerDay;
  }
  return DaysToDateTime(day + msOfDay / MSecsPerDay);
}

}  // namespace

int DateTimeToInternetTime(TDateTime utc, TDateTime& beatDay) {
  DecodedDateTime check;
  if (!TryDecodeDateTime(utc, check)) throw EConvertError("Invalid date-time value");
  // Whole milliseconds throughout: a beat is 86400 of them, so half beats are exact and round
  // to even the same way for every caller.
  const double ms = RoundHalfEven(DateTimeToDays(utc) * MSecsPerDay) + kMsPerHour;
  double day, msOfDay;
  DaysAndMilliseconds(ms, day, msOfDay);
  beatDay = day;
  return static_cast<int>(RoundHalfEven(msOfDay / kMsPerBeat));
}

TDateTime InternetTimeToDateTime(std::uint16_t beats, TDateTime beatDay) {
  const double day = std::trunc(RoundToMillisecond(beatDay));
  double wholeDay, msOfDay;
  return DaysAndMilliseconds(day * MSecsPerDay + beats * kMsPerBeat - kMsPerHour, wholeDay, msOfDay);
}
