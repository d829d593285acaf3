// Arbitrary "TZI" values, zone names, years and date-times through unpacking, transitions and
// both conversions. Errors the engine raises by contract (EConvertError) are fine; crashes,
// undefined behaviour, endless loops and any other exception are not.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <span>

#include "platform/SysUtils.h"
#include "tz/KtTimezone.h"
#include "tz/KtTimezoneRegistry.h"

namespace {

template <typename T>
T Take(const std::uint8_t*& data, size_t& size) {
  T value{};
  const size_t n = size < sizeof(T) ? size : sizeof(T);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < TziSize) return 0;
  TIME_ZONE_INFORMATION zone{};
  if (!UnpackTimeZoneInfo(std::span(data, TziSize), zone)) __builtin_trap();
  if (PackTimeZoneInfo(zone) != *reinterpret_cast<const TziBytes*>(data)) __builtin_trap();
  data += TziSize;
  size -= TziSize;

  const auto year = Take<std::int16_t>(data, size);
  const auto flags = Take<std::uint8_t>(data, size);
  const auto local = Take<double>(data, size);
  const auto utc = Take<double>(data, size);
  const auto nameLength = Take<std::uint8_t>(data, size) % 40;
  const std::string name(reinterpret_cast<const char*>(data), std::min<size_t>(size, nameLength));
  SetZoneNameField((flags & 1) ? zone.StandardName : zone.DaylightName, name);
  if (ZoneNameFieldText(zone.StandardName).size() > 31) __builtin_trap();
  if (!SameZoneRules(zone, zone)) __builtin_trap();

  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  (void)GetTransitionsForYear(zone, year, ds, ss, dOff, sOff);
  try {
    (void)ZoneLocalToUTC(zone, flags & 2, local);
  } catch (const EConvertError&) {
  }
  try {
    (void)ZoneUTCToLocal(zone, utc);
  } catch (const EConvertError&) {
  }
  try {
    TDateTime beatDay;
    const int beats = DateTimeToInternetTime(utc, beatDay);
    if (beats < 0 || beats > 1000) __builtin_trap();
    (void)InternetTimeToDateTime(static_cast<std::uint16_t>(beats), beatDay);
  } catch (const EConvertError&) {
  }
  (void)RoundToMillisecond(local);
  return 0;
}
