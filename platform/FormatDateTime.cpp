#include "platform/FormatDateTime.h"

#include <cctype>

namespace {

constexpr int kMaxNesting = 2;

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t k = 0; k < prefix.size(); ++k)
    if (Upper(text[at + k]) != Upper(prefix[k])) return false;
  return true;
}

class Formatter {
 public:
  Formatter(const TFormatSettings& settings, TDateTime value)
      : s_(settings), d_(DecodeDateTime(value)) {}

  void Append(std::string_view format, int depth);
  std::string out;

 private:
  void Number(int value, size_t digits) {
    std::string text = std::to_string(value);
    if (text.size() < digits) out.append(digits - text.size(), '0');
    out += text;
  }
  void Nested(const std::string& format, int depth) {
    if (depth < kMaxNesting) Append(format, depth + 1);
  }
  bool TwelveHourAhead(std::string_view format, size_t from) const;
  // Appends an am/pm token at `at` (its 'a'); returns its length, 0 when there is none.
  size_t AmPm(std::string_view format, size_t at);

  const TFormatSettings& s_;
  DecodedDateTime d_;
};

bool Formatter::TwelveHourAhead(std::string_view format, size_t from) const {
  char quote = 0;
  for (size_t k = from; k < format.size(); ++k) {
    const char c = format[k];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 'h' || c == 'H') {
      return false;
    } else if ((c == 'a' || c == 'A') &&
               (StartsWithNoCase(format, k, "am/pm") || StartsWithNoCase(format, k, "a/p") ||
                StartsWithNoCase(format, k, "ampm"))) {
      return true;
    }
  }
  return false;
}

size_t Formatter::AmPm(std::string_view format, size_t at) {
  const bool pm = d_.hour >= 12;
  if (StartsWithNoCase(format, at, "am/pm")) {
    out += pm ? format.substr(at + 3, 2) : format.substr(at, 2);
    return 5;
  }
  if (StartsWithNoCase(format, at, "a/p")) {
    out += pm ? format[at + 2] : format[at];
    return 3;
  }
  if (StartsWithNoCase(format, at, "ampm")) {
    out += pm ? s_.TimePMString : s_.TimeAMString;
    return 4;
  }
  return 0;
}

void Formatter::Append(std::string_view format, int depth) {
  char lastToken = ' ';
  bool amPmSeen = false;  // a marker before the hour (as some locales write it) counts too
  size_t i = 0;
  while (i < format.size()) {
    const size_t start = i;
    const char starter = format[i++];
    char token = Upper(starter);
    if (IsLetter(starter)) {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    auto count = [&] {
      while (i < format.size() && format[i] == starter) ++i;
      return i - start;
    };
    switch (token) {
      case 'Y':
        if (count() <= 2)
          Number(d_.year % 100, 2);
        else
          Number(d_.year, 4);
        break;
      case 'M':
        switch (count()) {
          case 1: Number(d_.month, 1); break;
          case 2: Number(d_.month, 2); break;
          case 3: out += s_.ShortMonthNames[d_.month - 1]; break;
          default: out += s_.LongMonthNames[d_.month - 1]; break;
        }
        break;
      case 'D':
        switch (count()) {
          case 1: Number(d_.day, 1); break;
          case 2: Number(d_.day, 2); break;
          case 3: out += s_.ShortDayNames[d_.dayOfWeek - 1]; break;
          case 4: out += s_.LongDayNames[d_.dayOfWeek - 1]; break;
          case 5: Nested(s_.ShortDateFormat, depth); break;
          default: Nested(s_.LongDateFormat, depth); break;
        }
        break;
      case 'H': {
        const size_t n = count();
        int hour = d_.hour;
        if (amPmSeen || TwelveHourAhead(format, i)) {
          if (hour == 0) hour = 12;
          else if (hour > 12) hour -= 12;
        }
        Number(hour, n > 2 ? 2 : n);
        break;
      }
      case 'N': {
        const size_t n = count();
        Number(d_.minute, n > 2 ? 2 : n);
        break;
      }
      case 'S': {
        const size_t n = count();
        Number(d_.second, n > 2 ? 2 : n);
        break;
      }
      case 'Z': {
        const size_t n = count();
        Number(d_.millisecond, n > 3 ? 3 : n);
        break;
      }
      case 'T':
        Nested(count() == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, depth);
        break;
      case 'C':
        count();
        Nested(s_.ShortDateFormat, depth);
        if (depth < kMaxNesting &&
            (d_.hour != 0 || d_.minute != 0 || d_.second != 0 || d_.millisecond != 0)) {
          out += ' ';
          Nested(s_.LongTimeFormat, depth);
        }
        break;
      case 'A': {
        const size_t length = AmPm(format, start);
        if (length == 0) {
          out += starter;
        } else {
          i = start + length;
          amPmSeen = true;
        }
        break;
      }
      case '/':
        if (s_.DateSeparator) out += s_.DateSeparator;
        break;
      case ':':
        if (s_.TimeSeparator) out += s_.TimeSeparator;
        break;
      case '\'':
      case '"': {
        const size_t close = format.find(starter, i);
        const size_t end = close == std::string_view::npos ? format.size() : close;
        out += format.substr(i, end - i);
        i = close == std::string_view::npos ? end : end + 1;
        break;
      }
      default:
        out += starter;
        break;
    }
  }
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value,
                           const TFormatSettings& settings) {
  Formatter formatter(settings, value);
  formatter.Append(format.empty() ? std::string_view("c") : format, 0);
  return std::move(formatter.out);
}

std::string FormatDateTime(std::string_view format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings());
}
