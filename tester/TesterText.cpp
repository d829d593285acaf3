#include "tester/TesterText.h"

#include <cstdlib>

#include "platform/AnsiText.h"
#include "platform/SysUtils.h"
#include "platform/FormatDateTime.h"
#include "tz/KtTimezone.h"
#include "tz/VmoDates.h"

const char* const OrdinalNames[5] = {"1st", "2nd", "3rd", "4th", "last"};
const char kOutOfRangeText[] = "out of range";

namespace {

bool HasDaylightRule(const TIME_ZONE_INFORMATION& zone, int year) {
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  return GetTransitionsForYear(zone, year, ds, ss, dOff, sOff);
}

std::string LowerCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string NameText(const WCHAR (&name)[32]) { return WideToAnsi(ZoneNameText(name)); }

}  // namespace

std::string GmtCaption(std::int32_t bias) {
  if (bias == 0) return {};
  const long long minutes = std::llabs(static_cast<long long>(bias));
  return Format("%s%.2lld:%.2lld", bias < 0 ? "+" : "-", minutes / 60, minutes % 60);
}

int CompareZoneRows(std::int32_t bias1, const std::string& caption1, std::int32_t bias2,
                    const std::string& caption2) {
  // The UTC offset, east positive, is the negated bias.
  const long long offset1 = -static_cast<long long>(bias1);
  const long long offset2 = -static_cast<long long>(bias2);
  if (offset1 < offset2) return -1;
  if (offset1 > offset2) return 1;
  return LowerCase(caption1).compare(LowerCase(caption2));
}

ZoneRowTexts ZoneRow(const TIME_ZONE_INFORMATION& zone, const std::string& keyName,
                     const TIME_ZONE_INFORMATION& systemZone, TDateTime utcNow) {
  ZoneRowTexts row;
  row.gmt = GmtCaption(zone.Bias);
  row.name = keyName;
  // Single letters by count: GCC 12 sees overlapping copies in an assignment of "H" or "".
  row.home.assign(SameZoneRules(zone, systemZone) ? 1 : 0, 'H');
  const bool daylightRule = HasDaylightRule(zone, DateYear(utcNow));
  const long long bias = zone.Bias;
  row.standardBias = std::to_string(daylightRule ? bias + zone.StandardBias : bias);
  row.daylightBias = std::to_string(daylightRule ? bias + zone.DaylightBias : bias);
  row.inDaylight.assign(1, daylightRule && ZoneOffsetAtUTC(zone, utcNow).daylight ? 'Y' : 'N');
  return row;
}

std::string DateTimeColumnText(TDateTime local, const TFormatSettings& settings) {
  DecodedDateTime decoded;
  if (!TryDecodeDateTime(local, decoded)) return kOutOfRangeText;
  return FormatDateTime("yyyy.mm.dd hh:nn", local, settings);
}

std::string BiasLine(const WCHAR (&name)[32], std::int64_t bias) {
  return Format("%s, %lld minute bias", NameText(name).c_str(), static_cast<long long>(bias));
}

std::string GmtTimeText(const SYSTEMTIME& rule, std::int64_t offset, const TFormatSettings& settings) {
  const long long ms = ((rule.wHour * 60LL + rule.wMinute) * 60 + rule.wSecond) * 1000 +
                       rule.wMilliseconds + offset * 60000LL;
  constexpr long long kDay = 86400000;
  const long long wrapped = ((ms % kDay) + kDay) % kDay;
  return FormatDateTime(settings.LongTimeFormat, static_cast<double>(wrapped) / MSecsPerDay, settings);
}

std::string RuleStartLine(const SYSTEMTIME& rule, std::int64_t offset, const TFormatSettings& settings) {
  const std::string week =
      rule.wDay >= 1 && rule.wDay <= 5 ? OrdinalNames[rule.wDay - 1] : Format("week %u", rule.wDay);
  const std::string weekday = rule.wDayOfWeek <= 6 ? settings.LongDayNames[rule.wDayOfWeek]
                                                   : Format("weekday %u", rule.wDayOfWeek);
  const std::string month = rule.wMonth >= 1 && rule.wMonth <= 12
                                ? settings.LongMonthNames[rule.wMonth - 1]
                                : Format("month %u", rule.wMonth);
  return Format("Starts on %s %s of %s at %s GMT", week.c_str(), weekday.c_str(), month.c_str(),
                GmtTimeText(rule, offset, settings).c_str());
}

std::string ThisYearLine(TDateTime start, const TFormatSettings& settings) {
  return "This year: " + FormatDateTime("c", start, settings);
}

std::string AbsoluteDateLine(const SYSTEMTIME& rule, std::int64_t offset,
                             const TFormatSettings& settings) {
  const TDateTime moment = SystemTimeToDateTime(rule) + static_cast<double>(offset) / MinsPerDay;
  return "Absolute date: " + FormatDateTime("c", moment, settings);
}

std::string ZoneStatusText(const TIME_ZONE_INFORMATION& zone, const std::string& keyName,
                           bool hasDaylightRule, bool inDaylight) {
  if (!hasDaylightRule) return keyName;
  const std::string name = NameText(inDaylight ? zone.DaylightName : zone.StandardName);
  return name.empty() ? keyName : name;
}
