#include "tester/TesterModel.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "platform/AnsiText.h"
#include "tz/KtTimezone.h"

TDateTime JoinPickerValues(TDateTime date, TDateTime time) {
  const TDateTime day = std::trunc(RoundToMillisecond(date));
  const TDateTime roundedTime = RoundToMillisecond(time);
  return CombineDateTime(day, std::fabs(roundedTime - std::trunc(roundedTime)));
}

bool IsShowableDateTime(TDateTime value) {
  DecodedDateTime decoded;
  return TryDecodeDateTime(value, decoded);
}

namespace {

std::optional<std::pair<int, TDateTime>> BeatsOf(TDateTime utc) {
  TDateTime day;
  const int beats = DateTimeToInternetTime(utc, day);
  if (!IsShowableDateTime(day)) return std::nullopt;
  return std::make_pair(beats, day);
}

}  // namespace

PanelState RecomputePanel(const TIME_ZONE_INFORMATION& zone, PanelSource source,
                          const PanelFields& shown) {
  PanelState state;
  TDateTime local = shown.local;
  TDateTime shownUtc = shown.utc;
  if (source == PanelSource::InternetTime) {
    shownUtc = InternetTimeToDateTime(static_cast<std::uint16_t>(std::clamp(shown.beats, 0, 65535)),
                                      std::trunc(shown.beatDay));
    if (!IsShowableDateTime(shownUtc)) {
      state.invalid = true;
      return state;
    }
    state.utc = shownUtc;
  }
  if (source != PanelSource::Local) {
    local = RoundToMillisecond(ZoneUTCToLocal(zone, shownUtc));
    if (!IsShowableDateTime(local)) {
      state.invalid = true;
      return state;
    }
    state.local = local;
  }

  TDateTime first = ZoneLocalToUTC(zone, false, local);
  if (first == 0 || !IsShowableDateTime(first)) {
    state.invalid = true;
    return state;
  }
  TDateTime second = ZoneLocalToUTC(zone, true, local);
  if (!DateTimesMatch(first, second) && IsShowableDateTime(second)) {
    // The UTC row keeps the reading it shows already.
    if (DateTimesMatch(second, shownUtc)) std::swap(first, second);
    state.secondUtc = RoundToMillisecond(second);
    state.secondBeats = BeatsOf(*state.secondUtc);
  }
  state.firstUtc = RoundToMillisecond(first);
  state.beats = BeatsOf(state.firstUtc);
  return state;
}

std::optional<TDateTime> StartButtonLocal(const TIME_ZONE_INFORMATION& zone, StartButton button) {
  TDateTime ds, ss;
  std::int64_t dOff, sOff;
  if (!GetTransitionsThisYear(zone, ds, ss, dOff, sOff)) return std::nullopt;
  if (button == StartButton::Daylight) return ds;
  return DaysToDateTime(DateTimeToDays(ss) - static_cast<double>(dOff - sOff) / MinsPerDay);
}

ZoneTime ZoneTimeAt(const TIME_ZONE_INFORMATION& zone, TDateTime utcNow) {
  const ZoneOffset offset = ZoneOffsetAtUTC(zone, utcNow);
  ZoneTime time;
  time.daylight = offset.daylight;
  const double days = DateTimeToDays(utcNow) - static_cast<double>(offset.minutes) / MinsPerDay;
  time.local = RoundToMillisecond(DaysToDateTime(days));
  time.shown = IsShowableDateTime(time.local);
  // A thousandth of a millisecond keeps a value just under a whole minute in that minute.
  time.minute = std::floor(DateTimeToDays(time.local) * MinsPerDay + 1e-7);
  return time;
}

std::vector<int> ZoneListOrder(const std::vector<std::int32_t>& biases) {
  std::vector<int> order(biases.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&biases](int a, int b) {
    const long long offsetA = -static_cast<long long>(biases[static_cast<size_t>(a)]);
    const long long offsetB = -static_cast<long long>(biases[static_cast<size_t>(b)]);
    if (offsetA != offsetB) return offsetA < offsetB;
    return offsetA != 0 && a > b;
  });
  return order;
}

std::string SystemZoneRowName(const TIME_ZONE_INFORMATION& systemZone) {
  for (const auto* name : {&systemZone.StandardName, &systemZone.DaylightName}) {
    const std::string text = WideToAnsi(ZoneNameText(*name));
    if (!text.empty()) return text;
  }
  return "Local time";
}
