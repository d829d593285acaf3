// The one way Win32 files see the Windows API: <windows.h> and the common controls, included
// after the portable records of platform/WinTypes.h. The SDK's own SYSTEMTIME and
// TIME_ZONE_INFORMATION are renamed while it is read (to Win32SystemTime and
// Win32TimeZoneInformation), so that both kinds live in one translation unit; the asserts below
// prove the portable copies layout-identical, and ToWin32/FromWin32 convert between them.
#pragma once

#include <bit>
#include <cstddef>

#include "platform/WinTypes.h"

#define _SYSTEMTIME Win32SystemTimeTag
#define SYSTEMTIME Win32SystemTime
#define _TIME_ZONE_INFORMATION Win32TimeZoneInformationTag
#define TIME_ZONE_INFORMATION Win32TimeZoneInformation
#include <windows.h>
#include <commctrl.h>
#undef _SYSTEMTIME
#undef SYSTEMTIME
#undef _TIME_ZONE_INFORMATION
#undef TIME_ZONE_INFORMATION
// The SDK's macros of the same values would hide the portable constants.
#undef TIME_ZONE_ID_UNKNOWN
#undef TIME_ZONE_ID_STANDARD
#undef TIME_ZONE_ID_DAYLIGHT
#undef TIME_ZONE_ID_INVALID

#define DM_SAME_FIELD(Ours, Theirs, field)                                              \
  static_assert(offsetof(Ours, field) == offsetof(Theirs, field) &&                     \
                sizeof(Ours::field) == sizeof(Theirs::field))
static_assert(sizeof(SYSTEMTIME) == sizeof(Win32SystemTime));
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wYear);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wMonth);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wDayOfWeek);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wDay);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wHour);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wMinute);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wSecond);
DM_SAME_FIELD(SYSTEMTIME, Win32SystemTime, wMilliseconds);
static_assert(sizeof(TIME_ZONE_INFORMATION) == sizeof(Win32TimeZoneInformation));
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, Bias);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, StandardName);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, StandardDate);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, StandardBias);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, DaylightName);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, DaylightDate);
DM_SAME_FIELD(TIME_ZONE_INFORMATION, Win32TimeZoneInformation, DaylightBias);
#undef DM_SAME_FIELD
static_assert(TIME_ZONE_ID_INVALID == 0xFFFFFFFFul && TIME_ZONE_ID_DAYLIGHT == 2);

inline Win32SystemTime ToWin32(const SYSTEMTIME& t) noexcept {
  return std::bit_cast<Win32SystemTime>(t);
}
inline SYSTEMTIME FromWin32(const Win32SystemTime& t) noexcept { return std::bit_cast<SYSTEMTIME>(t); }
inline Win32TimeZoneInformation ToWin32(const TIME_ZONE_INFORMATION& z) noexcept {
  return std::bit_cast<Win32TimeZoneInformation>(z);
}
inline TIME_ZONE_INFORMATION FromWin32(const Win32TimeZoneInformation& z) noexcept {
  return std::bit_cast<TIME_ZONE_INFORMATION>(z);
}
// For the Win32 calls that read or fill a record in place; the layouts are the same (above).
inline const Win32SystemTime* AsWin32(const SYSTEMTIME* t) noexcept {
  return reinterpret_cast<const Win32SystemTime*>(t);
}
inline Win32SystemTime* AsWin32(SYSTEMTIME* t) noexcept { return reinterpret_cast<Win32SystemTime*>(t); }
inline const Win32TimeZoneInformation* AsWin32(const TIME_ZONE_INFORMATION* z) noexcept {
  return reinterpret_cast<const Win32TimeZoneInformation*>(z);
}
inline Win32TimeZoneInformation* AsWin32(TIME_ZONE_INFORMATION* z) noexcept {
  return reinterpret_cast<Win32TimeZoneInformation*>(z);
}
