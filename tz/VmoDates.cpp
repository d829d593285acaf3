#include "tz/VmoDates.h"

#include "platform/TimeServices.h"

bool YearIsLeap(int year) { return IsLeapYear(year); }

int DateYear(TDateTime date) { return YearOf(date); }

int DateMonth(TDateTime date) { return DecodeDateTime(date).month; }

bool DateInLeapYear(TDateTime date) { return YearIsLeap(DateYear(date)); }

int DaysInDateMonth(TDateTime date) {
  switch (DateMonth(date)) {
    case 2:
      return DateInLeapYear(date) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

int CurrentYear() { return TimeServices().GetLocalTime().wYear; }

int SystemCurrentBias() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD answer = TimeServices().GetTimeZoneInformation(zone);
  // Sums in 64 bits: the record may hold anything; clamp to the int range it is reported in.
  long long bias = zone.Bias;
  if (answer == TIME_ZONE_ID_INVALID) return 0;
  if (answer == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  if (answer == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (bias > 0x7FFFFFFF) bias = 0x7FFFFFFF;
  if (bias < -0x7FFFFFFFLL - 1) bias = -0x7FFFFFFFLL - 1;
  return static_cast<int>(bias);
}
