#include "platform/DateTime.h"

#include <cmath>

#include "platform/SysUtils.h"

namespace {

constexpr int kMonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr int kDaysBeforeMonth[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};

// Day number (1 January of year 1 = day 1) of the first day of a year.
std::int64_t DaysBeforeYear(int year) {
  const std::int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr std::int64_t kMaxDay = 3652059;  // day number of 31 December 9999
constexpr std::int64_t kMsPerDay = 86400000;

}  // namespace

double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;  // a tie: to the even neighbour
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) { return kMonthDays[IsLeapYear(year) ? 1 : 0][month]; }

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const int leap = IsLeapYear(year) ? 1 : 0;
  if (day > kMonthDays[leap][month]) return false;
  const std::int64_t days = DaysBeforeYear(year) + kDaysBeforeMonth[leap][month] + day;
  result = static_cast<double>(days - DateDelta);
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
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, millisecond);
}

bool TryDecodeDateTime(TDateTime value, DecodedDateTime& result) {
  if (!std::isfinite(value)) return false;
  // Bound before converting to an integer: anything past year 9999 fails anyway.
  const double limit = static_cast<double>(kMaxDay + 2) * MSecsPerDay;
  const double scaled = value * MSecsPerDay;
  if (std::fabs(scaled) > limit) return false;
  const std::int64_t totalMs = static_cast<std::int64_t>(RoundHalfEven(scaled));
  // Floor division: negative values count back from 30 December 1899 like the number line.
  std::int64_t dayIndex = totalMs / kMsPerDay;
  std::int64_t msOfDay = totalMs % kMsPerDay;
  if (msOfDay < 0) {
    msOfDay += kMsPerDay;
    --dayIndex;
  }
  const std::int64_t dayNumber = dayIndex + DateDelta;  // 1 January of year 1 = 1
  if (dayNumber < 1 || dayNumber > kMaxDay) return false;

  // Civil date from the day count, with years starting on 1 March so that the leap day is
  // the last day of its year (cycles of 400 years, 146097 days).
  const std::int64_t z = dayNumber + 305;  // day 1 (1 January of year 1) -> 306 days after 1 March of year 0
  const std::int64_t era = z / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  result.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  result.month = month;
  result.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  result.hour = static_cast<int>(msOfDay / 3600000);
  result.minute = static_cast<int>(msOfDay / 60000 % 60);
  result.second = static_cast<int>(msOfDay / 1000 % 60);
  result.millisecond = static_cast<int>(msOfDay % 1000);
  // Day number 1 (1 January of year 1) was a Monday.
  result.dayOfWeek = static_cast<int>(dayNumber % 7) + 1;
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
  if (value == std::trunc(value) && value >= 1 - DateDelta && value <= kMaxDay - DateDelta)
    return static_cast<int>((static_cast<std::int64_t>(value) + DateDelta) % 7) + 1;
  return DecodeDateTime(value).dayOfWeek;
}

double DateOf(TDateTime value) { return std::trunc(value); }

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
