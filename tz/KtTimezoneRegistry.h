// The registry form of a catalogue zone: the catalogue key, the 44-byte "TZI" rule value and
// TBetterRegistry, which reads and writes a zone's four values on its open key.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "platform/Registry.h"
#include "platform/WinTypes.h"

// "\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones" on the NT family (PlatformId 2),
// else "\SOFTWARE\Microsoft\Windows\CurrentVersion\Time Zones". Asked afresh on each call.
std::string TimeZonesRegistryPath();

constexpr int TziSize = 44;
using TziBytes = std::array<std::uint8_t, TziSize>;

// Bias, StandardBias, DaylightBias, StandardDate, DaylightDate, little-endian, no padding.
TziBytes PackTimeZoneInfo(const TIME_ZONE_INFORMATION& rule);
// The inverse for those five fields; the names are left as they are. False, with the rule
// unchanged, unless exactly TziSize bytes are given.
bool UnpackTimeZoneInfo(std::span<const std::uint8_t> bytes, TIME_ZONE_INFORMATION& rule);

// The 8-bit text put into a zone name field: at most 31 UTF-16 units fit with the terminating
// zero; a longer text leaves the field empty (all zeros).
void SetZoneNameField(WCHAR (&field)[32], std::string_view text);
// The name field up to its first zero (at most 32 units), in the system code page.
std::string ZoneNameFieldText(const WCHAR (&field)[32]);

class TBetterRegistry : public TRegistry {
 public:
  using TRegistry::TRegistry;

  // Reads "Display", "Std", "Dlt" and "TZI" of the open key. False, with nothing changed,
  // when "TZI" is missing or not exactly 44 bytes; ERegistryException for values of the
  // wrong type.
  bool ReadTimeZoneInfo(std::string& displayName, TIME_ZONE_INFORMATION& rule);
  // Writes "Display", "Std", "Dlt", "TZI" in that order; a refused write raises
  // ERegistryException and the values after it are not written.
  bool WriteTimeZoneInfo(const std::string& displayName, const TIME_ZONE_INFORMATION& rule);
};
