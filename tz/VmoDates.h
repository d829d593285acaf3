// Calendar helpers of the zone engine.
#pragma once

#include "platform/DateTime.h"

bool YearIsLeap(int year);
// Year and month of the calendar date of D; EConvertError when D cannot be decoded.
int DateYear(TDateTime date);
int DateMonth(TDateTime date);
bool DateInLeapYear(TDateTime date);
// 28..31 for the month of D.
int DaysInDateMonth(TDateTime date);
// The year of today's local date.
int CurrentYear();
// The system's offset in force now (UTC - local, minutes): Bias plus StandardBias or
// DaylightBias as the platform reports standard or daylight time, else the plain Bias.
int SystemCurrentBias();
