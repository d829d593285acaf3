#include "report/text/EReportValues.h"

#include <cmath>

#include "platform/SysUtils.h"

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Unit(std::uint32_t count, const char* word) {
  return Format("%u %s%s", count, word, count > 1 ? "s" : "");
}

}  // namespace

std::string FormatUtcOffset(int localOffsetMinutes) {
  const int hours = static_cast<int>(RoundHalfEven(localOffsetMinutes / 60.0));
  return Format("%c%02d00", hours < 0 ? '-' : '+', hours < 0 ? -hours : hours);
}

std::string FormatReportDate(TDateTime value, int localOffsetMinutes) {
  DecodedDateTime d;
  if (!TryDecodeDateTime(value, d)) return {};
  return Format("%s, %d %s %d %02d:%02d:%02d %s", kDays[d.dayOfWeek - 1], d.day,
                kMonths[d.month - 1], d.year, d.hour, d.minute, d.second,
                FormatUtcOffset(localOffsetMinutes).c_str());
}

std::string FormatUpTime(std::uint32_t milliseconds) {
  const std::uint32_t seconds = milliseconds / 1000;
  const std::uint32_t days = seconds / 86400, hours = seconds / 3600 % 24;
  std::string out;
  if (days != 0) out += Unit(days, "day") + ", ";
  if (hours != 0) out += Unit(hours, "hour") + ", ";
  return out + Unit(seconds / 60 % 60, "minute") + ", " + Unit(seconds % 60, "second");
}

std::string FormatMemoryMb(std::uint64_t bytes) {
  return Format("%.0f Mb", RoundHalfEven(static_cast<double>(bytes) / (1024.0 * 1024.0)));
}

std::string FormatDiskGb(std::uint64_t bytes, char decimalSeparator) {
  const double gb = static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0);
  std::string text = Format("%.2f", gb);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (const auto dot = text.find('.'); dot != std::string::npos) text[dot] = decimalSeparator;
  return text + " Gb";
}

std::string RegistryString(const std::optional<std::string>& raw) {
  if (!raw || raw->empty()) return {};
  // A value stored without its terminating zero keeps its last real character.
  if (raw->back() == '\0') return raw->substr(0, raw->size() - 1);
  return *raw;
}

std::string ProcessorName(const TSystemSnapshot& system) {
  std::string name(Trim(RegistryString(system.ProcessorNameString)));
  if (!name.empty()) return name;
  const std::string vendor = RegistryString(system.VendorIdentifier);
  const std::string identifier = RegistryString(system.Identifier);
  name = vendor;
  if (system.VendorIdentifier && system.Identifier) name = identifier + " - " + vendor;
  return name.empty() ? "Unknown processor" : name;
}

std::string OperatingSystemType(TPlatformFamily platform, std::uint32_t major, std::uint32_t minor,
                                std::string_view servicePack) {
  std::string name = "Microsoft Windows ";
  const std::string_view service = Trim(servicePack);
  if (platform == TPlatformFamily::Windows9x) {
    if (minor < 10)
      name += service == "B" ? "95 OSR 2" : "95";
    else if (minor < 90)
      name += service == "A" ? "98 SE" : "98";
    else if (minor == 90)
      name += "ME";
  } else if (major == 4) {
    name += "NT 4.0";
  } else if (major == 5) {
    if (minor == 0) name += "2000";
    if (minor == 1) name += "XP";
    if (minor == 2) name += "2003";
  } else if (major == 6) {
    // Every 6.x used to read "Vista", which named Windows 7 and 8 wrongly in every report.
    static constexpr const char* Names[] = {"Vista", "7", "8", "8.1"};
    name += minor < 4 ? Names[minor] : "Vista";
  } else if (major == 10) {
    name += "10";
  }
  return name;
}

std::uint32_t ReportedBuildNumber(TPlatformFamily platform, std::uint32_t build) {
  return platform == TPlatformFamily::Windows9x ? build & 0xFFFF : build;
}

std::string LanguageName(const std::vector<TLocaleSnapshot>& locales,
                         std::uint16_t defaultLanguageId) {
  for (const TLocaleSnapshot& locale : locales) {
    if (locale.Identifier.size() < 8 || locale.LanguageName.empty()) continue;
    std::uint32_t number = 0;
    bool hex = true;
    for (char c : std::string_view(locale.Identifier).substr(4, 4)) {
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) hex = false;
      number = number * 16 + static_cast<std::uint32_t>(digit < 0 ? 0 : digit);
    }
    if (hex && number == defaultLanguageId) return locale.FullName;
  }
  return {};
}

std::string FormatDisplayMode(int width, int height, int bitsPerPixel) {
  return Format("%d x %d, %d bit", width, height, bitsPerPixel);
}

std::string PadIpAddress(std::string_view address) {
  if (Trim(address).empty()) return "000.000.000.000";
  unsigned groups[4];
  int count = 0;
  std::size_t at = 0;
  while (count < 4) {
    std::size_t digits = 0;
    unsigned value = 0;
    while (at < address.size() && address[at] >= '0' && address[at] <= '9' && digits < 3) {
      value = value * 10 + static_cast<unsigned>(address[at++] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255) return std::string(address);
    groups[count++] = value;
    if (count < 4) {
      if (at >= address.size() || address[at] != '.') return std::string(address);
      ++at;
    }
  }
  if (at != address.size()) return std::string(address);
  return Format("%03u.%03u.%03u.%03u", groups[0], groups[1], groups[2], groups[3]);
}

TNetworkFields NetworkFields(const std::vector<TNetworkAdapterSnapshot>& adapters) {
  TNetworkFields f;
  for (const TNetworkAdapterSnapshot& a : adapters) {
    f.Dhcp += a.Dhcp ? "ON              - " : "OFF             - ";
    f.IpAddress += PadIpAddress(a.IpAddress) + " - ";
    f.Submask += PadIpAddress(a.Mask) + " - ";
    f.Gateway += PadIpAddress(a.Gateway) + " - ";
    f.Dns1 += PadIpAddress(a.DnsServers.empty() ? "" : a.DnsServers[0]) + " - ";
    f.Dns2 += PadIpAddress(a.DnsServers.size() < 2 ? "" : a.DnsServers[1]) + " - ";
  }
  for (std::string* field : {&f.IpAddress, &f.Submask, &f.Gateway, &f.Dns1, &f.Dns2, &f.Dhcp})
    if (field->ends_with(" - ")) field->resize(field->size() - 3);
  return f;
}

std::string CleanWindowText(std::string_view text) {
  text = text.substr(0, 256);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 32) {
      out += text[i];
      continue;
    }
    out += ' ';
    while (i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 32) ++i;
  }
  return out;
}

std::string ControlTextForReport(std::string_view className, std::string_view text,
                                 std::uint32_t style) {
  std::string upper(Trim(className));
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  constexpr std::uint32_t PasswordStyle = 0x20;
  if (upper.find("EDIT") != std::string::npos && (style & PasswordStyle))
    return std::string(text.substr(0, 256).size(), '*');
  return CleanWindowText(text);
}

std::string_view ExtractFileName(std::string_view path) {
  const auto cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string ExtractFolder(std::string_view path) {
  const auto cut = path.find_last_of("\\/:");
  if (cut == std::string_view::npos) return {};
  std::string folder(path.substr(0, cut + 1));
  const bool driveRoot = folder.size() == 3 && folder[1] == ':';
  if (!driveRoot && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

std::string TrimValueText(std::string_view text) { return std::string(Trim(text)); }

std::string HexAddress(std::uint32_t value, int digits) { return Format("%0*X", digits, value); }

std::string ExceptionTypeText(const TExceptionSnapshot& exception) {
  return exception.IsExceptionObject ? exception.ClassName : "Unknown exception type.";
}

std::string ExceptionMessageText(const TExceptionSnapshot& exception) {
  if (!exception.IsExceptionObject) return "Unknown error message.";
  std::string message = exception.Message;
  if (exception.AccessViolation) {
    const TAccessViolationSnapshot& av = *exception.AccessViolation;
    const char* access = av.Write ? "Write" : "Read";
    auto build = [&](std::string_view modulePath) {
      if (modulePath.empty())
        return Format("Access violation at address %s. %s of address %s",
                      HexAddress(exception.Address).c_str(), access,
                      HexAddress(av.AccessedAddress).c_str());
      return Format("Access violation at address %s in module '%s'. %s of address %s",
                    HexAddress(exception.Address).c_str(),
                    std::string(ExtractFileName(modulePath)).c_str(), access,
                    HexAddress(av.AccessedAddress).c_str());
    };
    message = build(exception.ModulePath);
    if (message != exception.Message && !exception.ModuleLongPath.empty())
      message = build(exception.ModuleLongPath);
  }
  if (message.empty() || message.back() != '.') message += '.';
  return message;
}
