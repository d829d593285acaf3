// TDateTime: days since 30 December 1899 00:00 as a double, the fraction being the time of
// day; encoding and decoding in the runtime's way. Before that day the whole part is the day
// and the fraction the time of day counted forward from that day's midnight, so -1.25 is
// 29 December 1899 06:00: such values are not a continuous count, and arithmetic on instants
// goes through DateTimeToDays and DaysToDateTime.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

using TDateTime = double;

constexpr double HoursPerDay = 24;
constexpr double MinsPerDay = 1440;
constexpr double SecsPerDay = 86400;
constexpr double MSecsPerDay = 86400000;
// Day number of 30 December 1899 counted with 1 January of year 1 as day 1.
constexpr std::int32_t DateDelta = 693594;

// Rounds to the nearest integer, halves to even (the runtime's Round). The argument must be
// finite; callers that may hold a non-finite value check first.
double RoundHalfEven(double value);

bool IsLeapYear(int year);
// 28..31; the month must be 1..12.
int DaysInAMonth(int year, int month);

// Encoding raises EConvertError for a date or time that does not exist (year outside
// 1..9999, month outside 1..12, day past the month's end; hour above 23, minute or second
// above 59, millisecond above 999).
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);
// The day number (days since 30 December 1899, as EncodeDate counts) of the 1st of a month and
// the month's length; false for a year outside 1..9999 or a month outside 1..12.
bool TryEncodeMonthStart(int year, int month, int& firstDay, int& monthLength);
// 1 = Sunday .. 7 = Saturday for a day number of years 1..9999.
inline int WeekdayOfDayNumber(int day) { return (day + DateDelta) % 7 + 1; }
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);

struct DecodedDateTime {
  int year, month, day, hour, minute, second, millisecond;
  int dayOfWeek;  // 1 = Sunday .. 7 = Saturday
};

// The instant as a continuous count of days since 30 December 1899 (-0.75 for
// 29 December 1899 06:00), in which adding and comparing work; values from 0 on are unchanged.
double DateTimeToDays(TDateTime value);
// The inverse: the TDateTime of a continuous count of days.
TDateTime DaysToDateTime(double days);
// A date (whole days) and a time of day (0 <= time < 1) as one value, as the runtime joins
// them: before 30 December 1899 the time is subtracted.
TDateTime CombineDateTime(TDateTime date, TDateTime time);

// Decoding rounds the value to the nearest whole millisecond (halves to even) and splits it
// into date and time. Values whose date is outside years 1..9999, or that are not finite,
// raise EConvertError.
bool TryDecodeDateTime(TDateTime value, DecodedDateTime& result);
DecodedDateTime DecodeDateTime(TDateTime value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);
// The year of the decoded value, without the rest of the decoding; EConvertError as there.
int YearOf(TDateTime value);

// The whole-day part (the date), truncating toward zero.
double DateOf(TDateTime value);

// A continuous count of days (DateTimeToDays) moved by whole minutes, exact to the millisecond and held the way EncodeDate plus
// EncodeTime hold it (whole days plus milliseconds / MSecsPerDay), so that it compares exactly
// with an encoded instant. A plain value + minutes / 1440 can land one unit in the last place
// short of the instant it names.
TDateTime ShiftMinutes(TDateTime value, double minutes);

TDateTime SystemTimeToDateTime(const SYSTEMTIME& time);
// Raises EConvertError for values that cannot be decoded.
SYSTEMTIME DateTimeToSystemTime(TDateTime value);
