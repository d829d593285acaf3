// Small texts of a report mail: header values cleared of control characters, recipient
// lists and the date header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"

// Every run of characters below 32 becomes one space, so a value cannot start a new header.
std::string StripControlChars(std::string_view text);

// Items separated by "," or ";", each trimmed of spaces and control characters; empty items
// are dropped.
std::vector<std::string> SplitAddressList(std::string_view text);

// "Tue, 8 Dec 2026 09:05:03 +0100": day name, day without padding, month name, year, time, and
// the zone as whole hours of localMinusUtc (days), rounded to the nearest hour (halves away
// from zero, so +5:30 is written +0600 and -3:30 -0400).
std::string FormatMailDate(TDateTime localTime, double localMinusUtc);
// The same with the zone of the platform's clock now (its local time less its UTC time).
std::string FormatMailDate(TDateTime localTime);

// The text without the spaces and control characters at its ends.
std::string TrimText(std::string_view text);
