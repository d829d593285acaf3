#include "platform/DateTime.h"

#include <cmath>

#include "platform/SysUtils.h"

// The arithmetic here runs in every zone conversion, so it keeps to 32-bit integers and plain
// double operations: on i686, 64-bit division and most of libm are library calls.

namespace {

constexpr int kMonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr int kDaysBeforeMonth[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};

// Day number (1 January of year 1 = day 1) of the last day before a year.
int DaysBeforeYear(int year) {
  const int y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr int kMaxDay = 3652059;  // day number of 31 December 9999
// Beyond this many days from 1899 every value fails to decode; below it, milliseconds are
// exact integers in a double.
constexpr double kDecodeLimitDays = kMaxDay + 2.0;

// Whole days (floor) and the milliseconds into that day of an integral millisecond count.
void SplitMilliseconds(double ms, int& dayIndex, int& msOfDay) {
  dayIndex = static_cast<int>(ms / MSecsPerDay);  // toward zero; exact for these magnitudes
  double rest = ms - dayIndex * MSecsPerDay;
  if (rest < 0) {
    rest += MSecsPerDay;
    --dayIndex;
  }
  msOfDay = static_cast<int>(rest);
}

}  // namespace

double RoundHalfEven(double value) {
  // Adding and removing 1.5 * 2^52 leaves no fraction bits, and the addition rounds to nearest,
  // ties to even: exactly the rounding wanted, for every |value| below 2^51.
  constexpr double kShift = 6755399441055744.0;
  const double magnitude = std::fabs(value);
  if (magnitude < 2251799813685248.0) return (value + kShift) - kShift;
  if (!(magnitude < 4503599627370496.0)) return value;  // integral already, or not finite
  const double lower = std::floor(value);  // 2^51 and up: only .5 can remain
  const double fraction = value - lower;
  if (fraction != 0.5) return fraction < 0.5 ? lower : lower + 1;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) { return kMonthDays[IsLeapYear(year) ? 1 : 0][month]; }

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const int leap = IsLeapYear(year) ? 1 : 0;
  if (day > kMonthDays[leap][month]) return false;
  const int days = DaysBeforeYear(year) + kDaysBeforeMonth[leap][month] + day;
  result = static_cast<double>(days - DateDelta);
  return true;
}

bool TryEncodeMonthStart(int year, int month, int& firstDay, int& monthLength) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  const int leap = IsLeapYear(year) ? 1 : 0;
  firstDay = DaysBeforeYear(year) + kDaysBeforeMonth[leap][month] + 1 - DateDelta;
  monthLength = kMonthDays[leap][month];
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result))
    throw EConvertError("Invalid argument to date encode");
  return result;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return false;
  result = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime result;
  if (!TryEncodeTime(hour, minute, second, millisecond, result))
    throw EConvertError("Invalid argument to time encode");
  return result;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  return CombineDateTime(EncodeDate(year, month, day), EncodeTime(hour, minute, second, millisecond));
}

double DateTimeToDays(TDateTime value) {
  if (!(value < 0)) return value;
  const double day = std::trunc(value);
  return day + (day - value);
}

TDateTime DaysToDateTime(double days) {
  if (!(days < 0)) return days;
  const double day = std::floor(days);
  // A time of day in (-1, 0) would read as day 0: those instants belong to day -1.
  return day - (days - day);
}

TDateTime CombineDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

namespace {

// The day number (1 January of year 1 = 1) and milliseconds into the day of a value, rounded
// to the millisecond; false outside years 1..9999.
bool TrySplit(TDateTime value, int& dayNumber, int& msOfDay) {
  if (!(std::fabs(value) < kDecodeLimitDays)) return false;  // also NaN
  int dayIndex;
  SplitMilliseconds(RoundHalfEven(DateTimeToDays(value) * MSecsPerDay), dayIndex, msOfDay);
  dayNumber = dayIndex + DateDelta;
  return dayNumber >= 1 && dayNumber <= kMaxDay;
}

}  // namespace

int YearOf(TDateTime value) {
  int dayNumber = 0, msOfDay;
  bool split = false;
  if (value >= 0 && value < kDecodeLimitDays) {
    // floor() without the library call it is on i686.
    int whole = static_cast<int>(value);
    if (whole > value) --whole;
    const double fraction = value - whole;
    // Away from midnight the rounding to milliseconds cannot change the day.
    if (fraction > 1e-6 && fraction < 1 - 1e-6) {
      dayNumber = whole + DateDelta;
      split = true;
    }
  }
  if (split) {
    if (dayNumber < 1 || dayNumber > kMaxDay) throw EConvertError("Invalid date-time value");
  } else if (!TrySplit(value, dayNumber, msOfDay)) {
    throw EConvertError("Invalid date-time value");
  }
  // The year whose 1 January is on or before the day: estimate, then correct by one.
  int year = static_cast<int>(dayNumber * (1 / 365.2425)) + 1;
  if (DaysBeforeYear(year) >= dayNumber) --year;
  else if (DaysBeforeYear(year + 1) < dayNumber) ++year;
  return year;
}

bool TryDecodeDateTime(TDateTime value, DecodedDateTime& result) {
  int dayNumber, msOfDay;
  if (!TrySplit(value, dayNumber, msOfDay)) return false;

  // Civil date from the day count, with years starting on 1 March so that the leap day is
  // the last day of its year (eras of 400 years, 146097 days).
  const int z = dayNumber + 305;  // 1 January of year 1 is 306 days after 1 March of year 0
  const int era = z / 146097;
  const int dayOfEra = z - era * 146097;
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
  const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  result.year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  result.month = month;
  result.day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  result.hour = msOfDay / 3600000;
  result.minute = msOfDay / 60000 % 60;
  result.second = msOfDay / 1000 % 60;
  result.millisecond = msOfDay % 1000;
  // Day number 1 (1 January of year 1) was a Monday.
  result.dayOfWeek = dayNumber % 7 + 1;
  return true;
}

DecodedDateTime DecodeDateTime(TDateTime value) {
  DecodedDateTime result;
  if (!TryDecodeDateTime(value, result)) throw EConvertError("Invalid date-time value");
  return result;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  const DecodedDateTime d = DecodeDateTime(value);
  year = d.year;
  month = d.month;
  day = d.day;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  const DecodedDateTime d = DecodeDateTime(value);
  hour = d.hour;
  minute = d.minute;
  second = d.second;
  millisecond = d.millisecond;
}

int DayOfWeek(TDateTime value) {
  // Whole dates (the common case: transition arithmetic) need no full decode.
  if (value >= 1 - DateDelta && value <= kMaxDay - DateDelta) {
    const int day = static_cast<int>(value);
    if (day == value) return WeekdayOfDayNumber(day);
  }
  return DecodeDateTime(value).dayOfWeek;
}

double DateOf(TDateTime value) { return std::trunc(value); }

TDateTime ShiftMinutes(TDateTime value, double minutes) {
  constexpr double kMinuteLimit = 1e11;  // keeps the millisecond sum an exact integer
  if (!(std::fabs(value) < kDecodeLimitDays) || minutes > kMinuteLimit || minutes < -kMinuteLimit)
    return value + minutes / MinsPerDay;
  int dayIndex, msOfDay;
  SplitMilliseconds(RoundHalfEven(value * MSecsPerDay) + RoundHalfEven(minutes) * 60000.0, dayIndex,
                    msOfDay);
  return static_cast<double>(dayIndex) + msOfDay / MSecsPerDay;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& t) {
  return EncodeDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                        t.wMilliseconds);
}

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
  const DecodedDateTime d = DecodeDateTime(value);
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(d.year);
  t.wMonth = static_cast<WORD>(d.month);
  t.wDayOfWeek = static_cast<WORD>(d.dayOfWeek - 1);
  t.wDay = static_cast<WORD>(d.day);
  t.wHour = static_cast<WORD>(d.hour);
  t.wMinute = static_cast<WORD>(d.minute);
  t.wSecond = static_cast<WORD>(d.second);
  t.wMilliseconds = static_cast<WORD>(d.millisecond);
  return t;
}
