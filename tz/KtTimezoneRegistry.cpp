#include "tz/KtTimezoneRegistry.h"

#include <algorithm>

#include "platform/AnsiText.h"
#include "tz/KtTimezone.h"

namespace {

void PutLong(std::uint8_t* out, LONG value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

LONG GetLong(const std::uint8_t* in) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  return static_cast<LONG>(bits);
}

void PutWord(std::uint8_t* out, WORD value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

WORD GetWord(const std::uint8_t* in) { return static_cast<WORD>(in[0] | (in[1] << 8)); }

void WriteSystemTime(std::uint8_t* out, const SYSTEMTIME& t) {
  const WORD fields[8] = {t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
                          t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
  for (int i = 0; i < 8; ++i) PutWord(out + 2 * i, fields[i]);
}

SYSTEMTIME ReadSystemTime(const std::uint8_t* in) {
  SYSTEMTIME t;
  t.wYear = GetWord(in);
  t.wMonth = GetWord(in + 2);
  t.wDayOfWeek = GetWord(in + 4);
  t.wDay = GetWord(in + 6);
  t.wHour = GetWord(in + 8);
  t.wMinute = GetWord(in + 10);
  t.wSecond = GetWord(in + 12);
  t.wMilliseconds = GetWord(in + 14);
  return t;
}

}  // namespace

std::string TimeZonesRegistryPath() {
  return PlatformId() == 2 ? "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones"
                           : "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Time Zones";
}

TziBytes PackTimeZoneInfo(const TIME_ZONE_INFORMATION& rule) {
  TziBytes bytes{};
  PutLong(bytes.data(), rule.Bias);
  PutLong(bytes.data() + 4, rule.StandardBias);
  PutLong(bytes.data() + 8, rule.DaylightBias);
  WriteSystemTime(bytes.data() + 12, rule.StandardDate);
  WriteSystemTime(bytes.data() + 28, rule.DaylightDate);
  return bytes;
}

bool UnpackTimeZoneInfo(std::span<const std::uint8_t> bytes, TIME_ZONE_INFORMATION& rule) {
  if (bytes.size() != TziSize) return false;
  rule.Bias = GetLong(bytes.data());
  rule.StandardBias = GetLong(bytes.data() + 4);
  rule.DaylightBias = GetLong(bytes.data() + 8);
  rule.StandardDate = ReadSystemTime(bytes.data() + 12);
  rule.DaylightDate = ReadSystemTime(bytes.data() + 28);
  return true;
}

void SetZoneNameField(WCHAR (&field)[32], std::string_view text) {
  std::fill(std::begin(field), std::end(field), WCHAR{0});
  const WideString wide = AnsiToWide(text);
  if (wide.size() <= 31) std::copy(wide.begin(), wide.end(), field);
}

std::string ZoneNameFieldText(const WCHAR (&field)[32]) { return WideToAnsi(ZoneNameText(field)); }

bool TBetterRegistry::ReadTimeZoneInfo(std::string& displayName, TIME_ZONE_INFORMATION& rule) {
  if (GetDataSize("TZI") != TziSize) return false;
  displayName = ReadString("Display");
  SetZoneNameField(rule.StandardName, ReadString("Std"));
  SetZoneNameField(rule.DaylightName, ReadString("Dlt"));
  TziBytes bytes{};
  ReadBinaryData("TZI", bytes.data(), TziSize);
  UnpackTimeZoneInfo(bytes, rule);
  return true;
}

bool TBetterRegistry::WriteTimeZoneInfo(const std::string& displayName,
                                        const TIME_ZONE_INFORMATION& rule) {
  WriteString("Display", displayName);
  WriteString("Std", ZoneNameFieldText(rule.StandardName));
  WriteString("Dlt", ZoneNameFieldText(rule.DaylightName));
  const TziBytes bytes = PackTimeZoneInfo(rule);
  WriteBinaryData("TZI", bytes.data(), TziSize);
  return true;
}
