#include "tools/TzCommands.h"

#include <charconv>
#include <map>
#include <ostream>

#include "platform/AnsiText.h"
#include "platform/SysUtils.h"
#include "platform/TimeServices.h"
#include "tz/KtTimezone.h"

const char kTzUsage[] =
    "Usage: DialmoorTz COMMAND [ARGUMENTS]\n"
    "Answers from Dialmoor's time zone engine and the system zone catalogue.\n"
    "Times are written yyyy-mm-ddThh:nn:ss.zzz and read as yyyy-mm-ddThh:nn[:ss[.zzz]];\n"
    "a ZONE is named by its catalogue key name. Digits are the ASCII digits 0-9; a result\n"
    "outside the years 1..9999 is an error.\n"
    "\n"
    "  list                              every zone: KeyName, Bias, StandardBias, DaylightBias,\n"
    "                                    Display, separated by tabs\n"
    "  transitions ZONE YEAR             'daylight TIME' and 'standard TIME', or 'none'\n"
    "  to-utc ZONE LOCALTIME [--prefer-daylight]\n"
    "                                    the UTC time, or 'invalid' for a local time that\n"
    "                                    never occurs\n"
    "  to-local ZONE UTCTIME             the local time\n"
    "  beats UTCTIME                     the beat count (0..1000) and the beat day\n"
    "                                    (yyyy-mm-dd)\n"
    "  from-beats BEATS yyyy-mm-dd       the UTC time\n"
    "  bias ZONE                         the zone's offset in force now, in minutes\n"
    "  system                            the system's zone rule, and the catalogue zones\n"
    "                                    whose rule and zone names both equal it\n"
    "  --help                            this text\n";

namespace {

// Reads exactly `width` digits at `pos`.
bool ReadDigits(std::string_view text, size_t pos, size_t width, int& value) {
  if (pos + width > text.size()) return false;
  value = 0;
  for (size_t i = pos; i < pos + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool ParseInteger(std::string_view text, long long low, long long high, long long& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

class CommandError : public Exception {
 public:
  using Exception::Exception;
};

class Command {
 public:
  Command(const std::vector<std::string>& args, const std::vector<TzZone>& zones, std::ostream& out)
      : args_(args), zones_(zones), out_(out) {}

  void Run() {
    const std::string& name = args_[0];
    using Handler = void (Command::*)();
    static const std::map<std::string, std::pair<Handler, size_t>> commands = {
        {"list", {&Command::List, 0}},          {"transitions", {&Command::Transitions, 2}},
        {"to-utc", {&Command::ToUtc, 2}},       {"to-local", {&Command::ToLocal, 2}},
        {"beats", {&Command::Beats, 1}},        {"from-beats", {&Command::FromBeats, 2}},
        {"bias", {&Command::Bias, 1}},          {"system", {&Command::System, 0}},
    };
    const auto found = commands.find(name);
    if (found == commands.end()) throw CommandError("unknown command '" + name + "' (see --help)");
    const size_t wanted = found->second.second;
    const size_t given = args_.size() - 1;
    const size_t allowed = name == "to-utc" ? wanted + 1 : wanted;
    if (given < wanted) throw CommandError(name + ": missing argument (see --help)");
    if (given > allowed) throw CommandError(name + ": unexpected argument '" + args_[allowed + 1] + "'");
    (this->*found->second.first)();
  }

 private:
  const TzZone& ZoneArg(size_t index) const {
    const std::string& key = args_[index];
    for (const TzZone& zone : zones_)
      if (zone.keyName == key) return zone;
    // Registry key names are case-insensitive.
    for (const TzZone& zone : zones_)
      if (SameTextIgnoringCase(zone.keyName, key)) return zone;
    throw CommandError("unknown zone '" + key + "' (see 'DialmoorTz list')");
  }

  static bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
      if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
  }

  TDateTime TimeArg(size_t index) const {
    const auto value = ParseTzTime(args_[index]);
    if (!value) throw CommandError(TzTimeError(args_[index]));
    return *value;
  }

  // A result as text; one outside the calendar is an error, not a raw day count.
  static std::string Shown(TDateTime value) {
    DecodedDateTime decoded;
    if (!TryDecodeDateTime(value, decoded))
      throw CommandError("the result lies outside the years 1..9999");
    return FormatTzTime(value);
  }

  void List() {
    for (const TzZone& z : zones_)
      out_ << z.keyName << '\t' << z.rule.Bias << '\t' << z.rule.StandardBias << '\t'
           << z.rule.DaylightBias << '\t' << z.display << '\n';
  }

  void Transitions() {
    const TzZone& zone = ZoneArg(1);
    long long year;
    if (!ParseInteger(args_[2], 1, 9999, year))
      throw CommandError("malformed year '" + args_[2] + "' (expected 1..9999)");
    TDateTime daylight, standard;
    std::int64_t daylightOffset, standardOffset;
    if (!GetTransitionsForYear(zone.rule, static_cast<int>(year), daylight, standard, daylightOffset,
                               standardOffset)) {
      out_ << "none\n";
      return;
    }
    out_ << "daylight " << Shown(daylight) << '\n';
    out_ << "standard " << Shown(standard) << '\n';
  }

  void ToUtc() {
    const TzZone& zone = ZoneArg(1);
    const TDateTime local = TimeArg(2);
    bool preferDaylight = false;
    if (args_.size() == 4) {
      if (args_[3] != "--prefer-daylight")
        throw CommandError("to-utc: unexpected argument '" + args_[3] + "'");
      preferDaylight = true;
    }
    const TDateTime utc = ZoneLocalToUTC(zone.rule, preferDaylight, local);
    out_ << (utc == 0 ? std::string("invalid") : Shown(utc)) << '\n';
  }

  void ToLocal() {
    const TzZone& zone = ZoneArg(1);
    out_ << Shown(ZoneUTCToLocal(zone.rule, TimeArg(2))) << '\n';
  }

  void Beats() {
    TDateTime day;
    const int beats = DateTimeToInternetTime(TimeArg(1), day);
    const std::string dayText = Shown(day).substr(0, 10);
    out_ << beats << ' ' << dayText << '\n';
  }

  void FromBeats() {
    long long beats;
    if (!ParseInteger(args_[1], 0, 1000, beats))
      throw CommandError("malformed beat count '" + args_[1] + "' (expected 0..1000)");
    const auto day = ParseTzDate(args_[2]);
    if (!day) throw CommandError(TzDateError(args_[2]));
    out_ << Shown(InternetTimeToDateTime(static_cast<std::uint16_t>(beats), *day)) << '\n';
  }

  void Bias() { out_ << GetZoneUTCBias(ZoneArg(1).rule) << '\n'; }

  void System() {
    TIME_ZONE_INFORMATION rule{};
    TimeServices().GetTimeZoneInformation(rule);
    out_ << "Bias " << rule.Bias << '\n'
         << "StandardBias " << rule.StandardBias << '\n'
         << "DaylightBias " << rule.DaylightBias << '\n'
         << "StandardName " << WideToAnsi(ZoneNameText(rule.StandardName)) << '\n'
         << "DaylightName " << WideToAnsi(ZoneNameText(rule.DaylightName)) << '\n';
    bool any = false;
    for (const TzZone& zone : zones_)
      if (SameZoneRules(zone.rule, rule)) {
        out_ << "match " << zone.keyName << '\n';
        any = true;
      }
    if (!any) out_ << "match none\n";
  }

  const std::vector<std::string>& args_;
  const std::vector<TzZone>& zones_;
  std::ostream& out_;
};

}  // namespace

namespace {

struct TzFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool ReadDateFields(std::string_view text, TzFields& f) {
  return text.size() == 10 && text[4] == '-' && text[7] == '-' && ReadDigits(text, 0, 4, f.year) &&
         ReadDigits(text, 5, 2, f.month) && ReadDigits(text, 8, 2, f.day);
}

bool ReadTimeFields(std::string_view text, TzFields& f) {
  if (text.size() < 16 || (text[10] != 'T' && text[10] != 't') ||
      !ReadDateFields(text.substr(0, 10), f) || text[13] != ':' || !ReadDigits(text, 11, 2, f.hour) ||
      !ReadDigits(text, 14, 2, f.minute))
    return false;
  size_t pos = 16;
  if (pos < text.size()) {
    if (text[pos] != ':' || !ReadDigits(text, pos + 1, 2, f.second)) return false;
    pos += 3;
    if (pos < text.size()) {
      if (text[pos] != '.' || !ReadDigits(text, pos + 1, 3, f.millisecond)) return false;
      pos += 4;
    }
  }
  return pos == text.size();
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text).push_back('\'');
  return quoted;
}

}  // namespace

std::optional<TDateTime> ParseTzDate(std::string_view text) {
  TzFields f;
  TDateTime date;
  if (!ReadDateFields(text, f) || !TryEncodeDate(f.year, f.month, f.day, date)) return std::nullopt;
  return date;
}

std::optional<TDateTime> ParseTzTime(std::string_view text) {
  TzFields f;
  TDateTime date, time;
  if (!ReadTimeFields(text, f) || !TryEncodeDate(f.year, f.month, f.day, date) ||
      !TryEncodeTime(f.hour, f.minute, f.second, f.millisecond, time))
    return std::nullopt;
  return CombineDateTime(date, time);
}

std::string TzDateError(std::string_view text) {
  TzFields f;
  if (!ReadDateFields(text, f)) return "malformed date " + Quoted(text) + " (expected yyyy-mm-dd)";
  return "no such date " + Quoted(text) + " (years 1..9999, months 1..12, days of the month)";
}

std::string TzTimeError(std::string_view text) {
  TzFields f;
  if (!ReadTimeFields(text, f))
    return "malformed time " + Quoted(text) + " (expected yyyy-mm-ddThh:nn[:ss[.zzz]])";
  TDateTime date;
  if (!TryEncodeDate(f.year, f.month, f.day, date))
    return "no such date " + Quoted(text) + " (years 1..9999, months 1..12, days of the month)";
  return "no such time " + Quoted(text) + " (hours 00..23, minutes and seconds 00..59)";
}

std::string FormatTzTime(TDateTime value) {
  const DecodedDateTime d = DecodeDateTime(value);
  return Format("%04d-%02d-%02dT%02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                d.second, d.millisecond);
}

std::string FormatTzDate(TDateTime value) { return FormatTzTime(value).substr(0, 10); }

int RunTzCommand(const std::vector<std::string>& args, const std::vector<TzZone>& zones,
                 std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "DialmoorTz: missing command (see --help)\n";
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
    out << kTzUsage;
    return 0;
  }
  try {
    Command(args, zones, out).Run();
    return 0;
  } catch (const CommandError& e) {
    err << "DialmoorTz: " << e.Message() << '\n';
  } catch (const Exception& e) {
    err << "DialmoorTz: " << e.ClassName() << ": " << e.Message() << '\n';
  }
  return 2;
}
