// The Win32 record types that portable code exchanges with the platform, defined here for both
// builds with the layout of the real ones (platform/win/WinApi.h checks it against them on
// Windows). Portable code never sees <windows.h> and its macros.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#if defined(_WINDOWS_) || defined(_MINWINBASE_)
#error "Win32 files include platform/win/WinApi.h instead of <windows.h>"
#endif

#ifdef _WIN32
// The same types as the SDK's, so that both declarations of a name agree.
using WORD = unsigned short;
using DWORD = unsigned long;
using LONG = long;
using WCHAR = wchar_t;
#else
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WCHAR = char16_t;
#endif

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

struct TIME_ZONE_INFORMATION {
  LONG Bias;
  WCHAR StandardName[32];
  SYSTEMTIME StandardDate;
  LONG StandardBias;
  WCHAR DaylightName[32];
  SYSTEMTIME DaylightDate;
  LONG DaylightBias;
};

// The SDK defines these as macros with the same values; WinApi.h comes after this header.
constexpr DWORD TIME_ZONE_ID_UNKNOWN = 0;
constexpr DWORD TIME_ZONE_ID_STANDARD = 1;
constexpr DWORD TIME_ZONE_ID_DAYLIGHT = 2;
constexpr DWORD TIME_ZONE_ID_INVALID = 0xFFFFFFFF;

static_assert(sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);
static_assert(sizeof(WCHAR) == 2);

// Text in the UTF-16 code units of the zone record's name fields.
using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;
