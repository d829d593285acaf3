#include "delivery/mail/EMailText.h"

#include <cmath>

#include "platform/SysUtils.h"
#include "platform/TimeServices.h"

std::string StripControlChars(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool inRun = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 32) {
      if (!inRun) out += ' ';
      inRun = true;
    } else {
      out += c;
      inRun = false;
    }
  }
  return out;
}

std::string TrimText(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> SplitAddressList(std::string_view text) {
  std::vector<std::string> list;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t sep = text.find_first_of(",;", start);
    const std::size_t end = sep == std::string_view::npos ? text.size() : sep;
    std::string item = TrimText(text.substr(start, end - start));
    if (!item.empty()) list.push_back(std::move(item));
    start = end + 1;
  }
  return list;
}

std::string FormatMailDate(TDateTime localTime, double localMinusUtc) {
  static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const DecodedDateTime t = DecodeDateTime(localTime);
  // Whole minutes first, so that a half-hour zone computed from two clock readings is an
  // exact half before it is rounded.
  const double minutes = std::round(localMinusUtc * MinsPerDay);
  const long hours = std::lround(minutes / 60.0);
  const std::string digits = std::to_string(hours < 0 ? -hours : hours);
  const std::string zone = (hours < 0 ? "-" : "+") + (digits.size() == 1 ? "0" + digits : digits);
  return Format("%s, %d %s %d %02d:%02d:%02d %s00", Days[t.dayOfWeek - 1], t.day,
                Months[t.month - 1], t.year, t.hour, t.minute, t.second, zone.c_str());
}

std::string FormatMailDate(TDateTime localTime) {
  ITimeServices& clock = TimeServices();
  const TDateTime local = SystemTimeToDateTime(clock.GetLocalTime());
  const TDateTime utc = SystemTimeToDateTime(clock.GetSystemTime());
  return FormatMailDate(localTime, local - utc);
}
