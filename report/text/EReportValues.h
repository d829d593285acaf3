// The value rules of the general section, each a pure function of snapshot values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"
#include "report/text/EReportSnapshot.h"

// "Tue, 8 Dec 2026 10:30:02 +0100": the offset (local time minus UTC) in whole hours, rounded.
// Empty for a value that is not a date.
std::string FormatReportDate(TDateTime value, int localOffsetMinutes);
// The offset part alone: "+0100", "-0500", "+1000".
std::string FormatUtcOffset(int localOffsetMinutes);
// "2 days, 1 hour, 0 minute, 5 seconds"; days and hours only when not zero.
std::string FormatUpTime(std::uint32_t milliseconds);
// Megabytes, rounded, + " Mb".
std::string FormatMemoryMb(std::uint64_t bytes);
// Gigabytes with at most two decimals ("0.##") + " Gb".
std::string FormatDiskGb(std::uint64_t bytes, char decimalSeparator);
// A registry string value as read whole: its terminating zero dropped.
std::string RegistryString(const std::optional<std::string>& raw);
std::string ProcessorName(const TSystemSnapshot& system);
std::string OperatingSystemType(TPlatformFamily platform, std::uint32_t major, std::uint32_t minor,
                                std::string_view servicePack);
std::uint32_t ReportedBuildNumber(TPlatformFamily platform, std::uint32_t build);
std::string LanguageName(const std::vector<TLocaleSnapshot>& locales,
                         std::uint16_t defaultLanguageId);
std::string FormatDisplayMode(int width, int height, int bitsPerPixel);
// 192.168.1.10 as 192.168.001.010; an empty address as 000.000.000.000. A text that is not a
// dotted IPv4 address is kept as it is.
std::string PadIpAddress(std::string_view address);

struct TNetworkFields {
  std::string IpAddress, Submask, Gateway, Dns1, Dns2, Dhcp;
};
TNetworkFields NetworkFields(const std::vector<TNetworkAdapterSnapshot>& adapters);

// A window text as the report shows it: at most 256 characters, every run of control
// characters one space; a password edit's text as asterisks.
std::string CleanWindowText(std::string_view text);
std::string ControlTextForReport(std::string_view className, std::string_view text,
                                 std::uint32_t style);

// Fields 2.4 and 2.5.
std::string ExceptionTypeText(const TExceptionSnapshot& exception);
std::string ExceptionMessageText(const TExceptionSnapshot& exception);

// The file name of a path ("C:\A\B.exe" gives "B.exe").
std::string_view ExtractFileName(std::string_view path);
// The folder of a path without its trailing backslash; a drive root keeps it ("C:\").
std::string ExtractFolder(std::string_view path);
// Without leading and trailing blanks and line breaks.
std::string TrimValueText(std::string_view text);
std::string HexAddress(std::uint32_t value, int digits = 8);
