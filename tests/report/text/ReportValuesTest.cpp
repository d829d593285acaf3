#include <gtest/gtest.h>

#include "report/text/EFileVersion.h"
#include "report/text/EReportValues.h"

TEST(ReportValues, DateCarriesTheOffsetInRoundedWholeHours) {
  const TDateTime t = EncodeDateTime(2026, 3, 1, 9, 5, 3, 0);
  EXPECT_EQ(FormatReportDate(t, 60), "Sun, 1 Mar 2026 09:05:03 +0100");
  EXPECT_EQ(FormatUtcOffset(-300), "-0500");
  EXPECT_EQ(FormatUtcOffset(330), "+0600");   // +05:30, 5.5 hours round to 6
  EXPECT_EQ(FormatUtcOffset(-210), "-0400");  // -03:30
  EXPECT_EQ(FormatUtcOffset(600), "+1000");
  EXPECT_EQ(FormatUtcOffset(-600), "-1000");
  EXPECT_EQ(FormatUtcOffset(0), "+0000");
  EXPECT_EQ(FormatUtcOffset(-20), "+0000");
  EXPECT_EQ(FormatReportDate(std::numeric_limits<double>::quiet_NaN(), 0), "");
}

TEST(ReportValues, UpTimeNamesItsUnitsInSingularAndPlural) {
  EXPECT_EQ(FormatUpTime(0), "0 minute, 0 second");
  EXPECT_EQ(FormatUpTime(61'999), "1 minute, 1 second");
  EXPECT_EQ(FormatUpTime(((2 * 24 + 3) * 60 + 4) * 60'000u + 5'000),
            "2 days, 3 hours, 4 minutes, 5 seconds");
  EXPECT_EQ(FormatUpTime(86'400'000u + 120'000), "1 day, 2 minutes, 0 second");
  EXPECT_EQ(FormatUpTime(3'600'000u), "1 hour, 0 minute, 0 second");
  EXPECT_EQ(FormatUpTime(0xFFFFFFFFu), "49 days, 17 hours, 2 minutes, 47 seconds");
}

TEST(ReportValues, OperatingSystemNames) {
  using enum TPlatformFamily;
  EXPECT_EQ(OperatingSystemType(Windows9x, 4, 0, ""), "Microsoft Windows 95");
  EXPECT_EQ(OperatingSystemType(Windows9x, 4, 0, " B "), "Microsoft Windows 95 OSR 2");
  EXPECT_EQ(OperatingSystemType(Windows9x, 4, 10, ""), "Microsoft Windows 98");
  EXPECT_EQ(OperatingSystemType(Windows9x, 4, 10, "A"), "Microsoft Windows 98 SE");
  EXPECT_EQ(OperatingSystemType(Windows9x, 4, 90, ""), "Microsoft Windows ME");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 4, 0, ""), "Microsoft Windows NT 4.0");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 5, 0, ""), "Microsoft Windows 2000");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 5, 2, ""), "Microsoft Windows 2003");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 6, 0, ""), "Microsoft Windows Vista");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 6, 1, ""), "Microsoft Windows 7");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 6, 3, ""), "Microsoft Windows 8.1");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 10, 0, ""), "Microsoft Windows 10");
  EXPECT_EQ(OperatingSystemType(WindowsNT, 11, 0, ""), "Microsoft Windows ");
  EXPECT_EQ(ReportedBuildNumber(Windows9x, 0x040A08AE), 0x08AEu);
  EXPECT_EQ(ReportedBuildNumber(WindowsNT, 0x040A08AE), 0x040A08AEu);
}

TEST(ReportValues, ProcessorFromTheRegistryValues) {
  TSystemSnapshot s;
  EXPECT_EQ(ProcessorName(s), "Unknown processor");
  s.Identifier = std::string("x86 Family 6\0", 13);
  EXPECT_EQ(ProcessorName(s), "Unknown processor");  // the identifier alone names nothing
  s.VendorIdentifier = std::string("GenuineIntel\0", 13);
  EXPECT_EQ(ProcessorName(s), "x86 Family 6 - GenuineIntel");
  s.Identifier.reset();
  EXPECT_EQ(ProcessorName(s), "GenuineIntel");
  s.ProcessorNameString = std::string("   \0", 4);
  EXPECT_EQ(ProcessorName(s), "GenuineIntel");
  s.ProcessorNameString = "Core i7";  // stored without its terminating zero
  EXPECT_EQ(ProcessorName(s), "Core i7");
}

TEST(ReportValues, LanguageOfTheDefaultLanguageId) {
  const std::vector<TLocaleSnapshot> locales = {{"00000c0c", "", "French (Canada)"},
                                                {"00000C0C", "FRC", "French"},
                                                {"0409", "ENU", "English"}};
  EXPECT_EQ(LanguageName(locales, 0x0C0C), "French");
  EXPECT_EQ(LanguageName(locales, 0x0409), "");  // a malformed identifier is passed over
}

TEST(ReportValues, AddressesArePaddedToThreeDigitGroups) {
  EXPECT_EQ(PadIpAddress("192.168.1.10"), "192.168.001.010");
  EXPECT_EQ(PadIpAddress(""), "000.000.000.000");
  EXPECT_EQ(PadIpAddress("0.0.0.0"), "000.000.000.000");
  EXPECT_EQ(PadIpAddress("fe80::1"), "fe80::1");
  EXPECT_EQ(PadIpAddress("1.2.3"), "1.2.3");
  EXPECT_EQ(PadIpAddress("1.2.3.256"), "1.2.3.256");
  EXPECT_EQ(PadIpAddress("1.2.3.4.5"), "1.2.3.4.5");
}

TEST(ReportValues, NetworkFieldsJoinTheAdapters) {
  const TNetworkFields one = NetworkFields({{"10.1.2.3", "255.0.0.0", "", {"8.8.8.8"}, false}});
  EXPECT_EQ(one.IpAddress, "010.001.002.003");
  EXPECT_EQ(one.Gateway, "000.000.000.000");
  EXPECT_EQ(one.Dns1, "008.008.008.008");
  EXPECT_EQ(one.Dns2, "000.000.000.000");
  EXPECT_EQ(one.Dhcp, "OFF            ");
  const TNetworkFields two = NetworkFields({{"10.1.2.3", "255.0.0.0", "10.0.0.1", {}, true},
                                            {"1.1.1.1", "", "", {"1.0.0.1", "9.9.9.9"}, false}});
  EXPECT_EQ(two.IpAddress, "010.001.002.003 - 001.001.001.001");
  EXPECT_EQ(two.Dns1, "000.000.000.000 - 001.000.000.001");
  EXPECT_EQ(two.Dns2, "000.000.000.000 - 009.009.009.009");
  EXPECT_EQ(two.Dhcp, "ON              - OFF            ");
  EXPECT_EQ(NetworkFields({}).IpAddress, "");
}

TEST(ReportValues, MemoryAndDiskSizes) {
  EXPECT_EQ(FormatMemoryMb(0), "0 Mb");
  EXPECT_EQ(FormatMemoryMb((3ull << 20) / 2), "2 Mb");  // 1.5 rounds to even
  EXPECT_EQ(FormatMemoryMb((5ull << 20) / 2), "2 Mb");
  EXPECT_EQ(FormatDiskGb(0, '.'), "0 Gb");
  EXPECT_EQ(FormatDiskGb(5ull << 30, '.'), "5 Gb");
  EXPECT_EQ(FormatDiskGb((1ull << 30) + (1ull << 30) / 10, ','), "1,1 Gb");
  EXPECT_EQ(FormatDiskGb((2ull << 30) - 1000, '.'), "2 Gb");
  EXPECT_EQ(FormatDisplayMode(800, 600, 16), "800 x 600, 16 bit");
}

TEST(ReportValues, WindowTextsAreCleanedAndPasswordsHidden) {
  EXPECT_EQ(CleanWindowText("a\r\n\tb\x01"
                            "c"),
            "a b c");
  EXPECT_EQ(CleanWindowText(std::string(300, 'x')).size(), 256u);
  EXPECT_EQ(ControlTextForReport(" tmaskedit ", "pa\r\nss", 0x20), "******");
  EXPECT_EQ(ControlTextForReport("TMaskEdit", "pa\r\nss", 0), "pa ss");
  EXPECT_EQ(ControlTextForReport("Static", "shown", 0x20), "shown");
  EXPECT_EQ(ControlTextForReport("Edit", std::string(300, 'p'), 0x20), std::string(256, '*'));
}

TEST(ReportValues, ExceptionTypeAndMessage) {
  TExceptionSnapshot e;
  e.IsExceptionObject = false;
  e.ClassName = "int";
  EXPECT_EQ(ExceptionTypeText(e), "Unknown exception type.");
  EXPECT_EQ(ExceptionMessageText(e), "Unknown error message.");
  e.IsExceptionObject = true;
  e.Message = "Done.";
  EXPECT_EQ(ExceptionTypeText(e), "int");
  EXPECT_EQ(ExceptionMessageText(e), "Done.");
  e.Message = "";
  EXPECT_EQ(ExceptionMessageText(e), ".");

  e.Address = 0x0040ABCD;
  e.AccessViolation = TAccessViolationSnapshot{true, 0x10};
  EXPECT_EQ(ExceptionMessageText(e),
            "Access violation at address 0040ABCD. Write of address 00000010.");
  e.ModulePath = "C:\\PROGRA~1\\DIALMO~1.EXE";
  e.ModuleLongPath = "C:\\Program Files\\Dialmoor.exe";
  e.Message =
      "Access violation at address 0040ABCD in module 'DIALMO~1.EXE'. Write of address 00000010";
  EXPECT_EQ(ExceptionMessageText(e), e.Message + ".");
  e.Message = "something else";
  EXPECT_EQ(
      ExceptionMessageText(e),
      "Access violation at address 0040ABCD in module 'Dialmoor.exe'. Write of address 00000010.");
}

TEST(ReportValues, PathParts) {
  EXPECT_EQ(ExtractFileName("C:\\a\\b.dll"), "b.dll");
  EXPECT_EQ(ExtractFileName("b.dll"), "b.dll");
  EXPECT_EQ(ExtractFolder("C:\\a\\b.dll"), "C:\\a");
  EXPECT_EQ(ExtractFolder("C:\\b.dll"), "C:\\");
  EXPECT_EQ(ExtractFolder("b.dll"), "");
}

TEST(ReportValues, VersionResourceTexts) {
  EXPECT_EQ(FileDescriptionQuery(0x0409, 0x04E4), "\\StringFileInfo\\040904E4\\FileDescription");
  EXPECT_EQ(FileDescriptionText(std::string_view("Clock\0", 6)), "Clock");
  EXPECT_EQ(FileDescriptionText(std::string_view("X", 1)), "");
  EXPECT_EQ(FileDescriptionText(std::string_view("\0", 1)), "");
  EXPECT_EQ(FileVersionText(0x00010000, 0x0003000C), "1.0.3.12");
  EXPECT_EQ(FileVersionText(0, 0), "");
  EXPECT_EQ(FileVersionText(0xFFFFFFFF, 0), "65535.65535.0.0");
}
