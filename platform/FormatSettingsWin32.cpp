#include "platform/win/WinApi.h"

#include "platform/FormatSettings.h"
#include "platform/LocalePictures.h"

namespace {

std::string LocaleText(LCTYPE type, const std::string& fallback) {
  char buffer[256];
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return length > 1 ? std::string(buffer, static_cast<size_t>(length - 1)) : fallback;
}

}  // namespace

TFormatSettings SystemFormatSettings() {
  TFormatSettings s = DefaultFormatSettings();
  const std::string dateSeparator = LocaleText(LOCALE_SDATE, "/");
  const std::string timeSeparator = LocaleText(LOCALE_STIME, ":");
  s.DateSeparator = dateSeparator[0];
  s.TimeSeparator = timeSeparator[0];
  s.ShortDateFormat = ConvertLocaleDateFormat(LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy"), s.DateSeparator);
  s.LongDateFormat = ConvertLocaleDateFormat(LocaleText(LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"), s.DateSeparator);
  s.LongTimeFormat = ConvertLocaleTimeFormat(LocaleText(LOCALE_STIMEFORMAT, "h:mm:ss tt"), s.TimeSeparator);
  // The short time format is the long one without its seconds.
  std::string shortTime = s.LongTimeFormat;
  for (const char* seconds : {":ss", ":s"}) {
    const size_t at = shortTime.find(seconds);
    if (at != std::string::npos) {
      shortTime.erase(at, std::char_traits<char>::length(seconds));
      break;
    }
  }
  s.ShortTimeFormat = shortTime;
  s.TimeAMString = LocaleText(LOCALE_S1159, "AM");
  s.TimePMString = LocaleText(LOCALE_S2359, "PM");
  // The locale lists weekdays from Monday; the settings from Sunday.
  for (int i = 0; i < 7; ++i) {
    const int fromMonday = (i + 6) % 7;
    s.LongDayNames[i] = LocaleText(LOCALE_SDAYNAME1 + fromMonday, s.LongDayNames[i]);
    s.ShortDayNames[i] = LocaleText(LOCALE_SABBREVDAYNAME1 + fromMonday, s.ShortDayNames[i]);
  }
  for (int i = 0; i < 12; ++i) {
    s.LongMonthNames[i] = LocaleText(LOCALE_SMONTHNAME1 + i, s.LongMonthNames[i]);
    s.ShortMonthNames[i] = LocaleText(LOCALE_SABBREVMONTHNAME1 + i, s.ShortMonthNames[i]);
  }
  return s;
}
