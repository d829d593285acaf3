// Conversion between 8-bit text in the system code page and UTF-16 code units.
#pragma once

#include <string>
#include <string_view>

#include "platform/WinTypes.h"

// On Windows the system's ANSI code page; on the host, ISO 8859-1 (each byte one code unit).
WideString AnsiToWide(std::string_view text);
// Code units that the code page cannot show become '?'.
std::string WideToAnsi(WideStringView text);

// The platform family identifier (2 for the NT family).
int PlatformId();
