#include <gtest/gtest.h>

#include "report/capture/EMemoryImage.h"
#include "report/text/EReportBlocks.h"
#include "report/text/EReportText.h"
#include "tests/report/text/ReportTestSnapshot.h"

namespace {

#include "tests/report/text/ExpectedReport.inc"

TOskedaModuleOptions Options() { return TOskedaModuleOptions("Dialmoor.exe", false); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  lines.push_back(text.substr(at));
  return lines;
}

}  // namespace

TEST(ReportLayout, TheCannedSnapshotGivesTheWholeReportByteForByte) {
  const TOskedaModuleOptions options = Options();
  const TReportText report = TReportText::Build(CannedSnapshot(), options, nullptr);
  const std::vector<std::string> got = Lines(report.Text()), want = Lines(kExpectedReport);
  for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(report.Text(), kExpectedReport);
  EXPECT_EQ(report.DuplicateFields(),
            (TDuplicateCheckFields{"Dialmoor.exe", "00401A2B", "EAccessViolation",
                                   "Access violation at address 00401A2B in module "
                                   "'Dialmoor.exe'. Read of address 00000000."}));
}

TEST(ReportLayout, FieldsSwitchedOffAndProgramsWithoutControls) {
  TOskedaModuleOptions options = Options();
  TReportFieldSet fields = TReportFieldSet::All();
  for (TReportField f : {rfApplicationName, rfExceptionDate, rfExceptionAddress, rfExceptionModule,
                         rfExceptionType, rfExceptionMessage})
    fields.Exclude(f);
  options.SetReportFieldSet(fields);
  TReportSnapshot s = CannedSnapshot();
  s.ActiveControls.Present = false;
  const std::string text = TReportText::Build(s, options, nullptr).Text();
  EXPECT_NE(text.find("  1.1 Start Date      : "), std::string::npos);
  EXPECT_NE(text.find("\r\n  1.3 Version Number  : 1.0.3.12\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Exception:"), std::string::npos);
  EXPECT_EQ(text.find("Active Controls:"), std::string::npos);
  EXPECT_NE(text.find("+0100\r\n\r\nComputer:\r\n"), std::string::npos);
  EXPECT_NE(text.find("  4.1 Name          : BUILDBOX"), std::string::npos);
}

TEST(ReportLayout, AddedSectionsFollowTheGeneralPartInTheirOrder) {
  const TOskedaModuleOptions options = Options();
  TReportText report = TReportText::Build(CannedSnapshot(), options, nullptr);
  const std::string before = report.Text();
  report.AddReproduceRequest("", options);
  EXPECT_EQ(report.Text(), before);
  report.AddCustomData("build: 7\r\n\r\nnightly", options);
  report.AddReproduceRequest("Clicked Now twice", options);
  const std::string general = report.GeneralPart();
  const std::string tail =
      "  6.6 DHCP      : ON             \r\n"
      "\r\n"
      "Other Information:\r\n"
      "----------------\r\n"
      "  7.1 : build:_7\r\n"
      " .\r\n"
      " nightly\r\n"
      "\r\n"
      "Request:\r\n"
      "-------------------------\r\n"
      "  8.1 : Clicked Now twice\r\n";
  ASSERT_GE(general.size(), tail.size());
  EXPECT_EQ(general.substr(general.size() - tail.size()), tail);
  EXPECT_EQ(report.Text(), general + "\r\n" + report.CallStackBlock() + report.ModulesBlock() +
                               report.ProcessorBlock());
  const std::string after = report.Text();
  EXPECT_EQ(after.substr(after.find("\r\nCall Stack Information:")),
            before.substr(before.find("\r\nCall Stack Information:")));
}

TEST(ReportLayout, CallStackKindsFollowTheStackFlags) {
  TOskedaModuleOptions options = Options();
  options.SetStackFlags({sfLineOffsets});
  const TReportSnapshot s = CannedSnapshot();
  const std::string block = BuildCallStackBlock(s.Stack, s.Threads, options);
  // Only kind 4 is left; with the offsets the line column widens to "17[12]".
  const std::string border(8 + 12 + 14 + 7 + 16 + 6 + 7, '-');
  const std::string want =
      "Call Stack Information:\r\n" + border +
      "\r\n"
      "|Address |Module      |Unit          |Class  |Procedure/Method|Line  |\r\n" +
      border +
      "\r\n"
      "|Exception Thread: ID=1234; Priority=0; [Main]                       |\r\n"
      "|00401A2B|Dialmoor.exe|app/Unit1.cpp |TForm1 |Timer1Timer     |42[3] |\r\n"
      "|--------------------------------------------------------------------|\r\n"
      "|Running Thread: ID=2000; Priority=-2; Class=TWorker                 |\r\n"
      "|00401B00|Dialmoor.exe|app/Worker.cpp|TWorker|Execute         |17[12]|\r\n"
      "|--------------------------------------------------------------------|\r\n"
      "|Calling Thread: ID=3000; Priority=??                                |\r\n"
      "|00401C00|Dialmoor.exe|app/Main.cpp  |       |main            |5[0]  |\r\n" +
      border + "\r\n\r\n";
  EXPECT_EQ(block, want);

  options.SetStackFlags({sfStackKind3});
  const std::string kind3 = BuildCallStackBlock(s.Stack, s.Threads, options);
  EXPECT_NE(kind3.find("|__cxa_throw"), std::string::npos);
  EXPECT_EQ(kind3.find("RaiseException"), std::string::npos);
}

TEST(ReportLayout, ACallStackWithoutListedFramesIsItsHeaderAlone) {
  TOskedaModuleOptions options = Options();
  const std::vector<TThreadSnapshot> threads;
  const TOskedaStackList unlisted = {Frame(1, false, 1, 0x401000, "a.exe", "", "", "", 0)};
  const std::string border(8 + 6 + 4 + 5 + 16 + 4 + 7, '-');
  const std::string want = "Call Stack Information:\r\n" + border +
                           "\r\n|Address |Module|Unit|Class|Procedure/Method|Line|\r\n" + border +
                           "\r\n\r\n";
  EXPECT_EQ(BuildCallStackBlock({}, threads, options), want);
  EXPECT_EQ(BuildCallStackBlock(unlisted, threads, options), want);
  // A thread that is not in the thread list still gets its line.
  const TOskedaStackList stray = {Frame(77, false, 4, 0x401000, "", "u", "", "p", 0)};
  EXPECT_NE(
      BuildCallStackBlock(stray, threads, options).find("|Exception Thread: ID=77; Priority=??"),
      std::string::npos);
}

TEST(ReportLayout, ModulesBlockWithAndWithoutItsFlag) {
  TOskedaModuleOptions options = Options();
  options.SetLogFlags({lfCpuSection});
  EXPECT_EQ(BuildModulesBlock(CannedSnapshot().Modules, options),
            "Modules Information:\r\n--------------------\r\n\r\n");
  options.SetLogFlags({lfModulesSection});
  options.SetText(84, "Handle of the module");
  const std::string block = BuildModulesBlock({{0x10000000, "x.dll", "", "", 1, 0}}, options);
  // The handle takes as many digits as its widened column.
  EXPECT_NE(block.find("\r\n|00000000000010000000|x.dll|"), std::string::npos);
  EXPECT_NE(block.find("|1   |1899-12-30 00:00:00|    |\r\n"), std::string::npos);
}

TEST(ReportLayout, ProcessorBlockRegistersAndDump) {
  TOskedaModuleOptions options = Options();
  const TReportSnapshot s = CannedSnapshot();
  const std::string rule =
      "------------------   "
      "---------------------------------------------------------------------------\r\n";
  EXPECT_EQ(BuildProcessorBlock(std::nullopt, nullptr, options),
            "Registers:\r\n-----------------------------\r\n"
            "EAX: ????       EDI: ????    \r\nEBX: ????       ESI: ????    \r\n"
            "ECX: ????       ESP: ????    \r\nEDX: ????       EIP: ????    \r\n\r\n"
            "Stack:               Memory Dump:\r\n" +
                rule);

  TMemoryImage memory;
  std::vector<std::uint8_t> stack(64), code(256);
  for (std::size_t i = 0; i < stack.size(); ++i) stack[i] = static_cast<std::uint8_t>(i);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i + 0x20);
  memory.AddRegion(0x0012FF00, stack);
  memory.AddRegion(0x00401A2B, code);
  const std::string block = BuildProcessorBlock(s.Exception.Context, &memory, options);
  const std::size_t dump = block.find(rule) + rule.size();
  const std::vector<std::string> lines = Lines(block.substr(dump));
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0],
            "0012FF00: 03020100   00401A2B: 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F "
            "  !\"#$%&'()*+,-./");
  EXPECT_EQ(lines[15],
            "0012FF3C: 3F3E3D3C   00401B1B: 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F "
            " ................");
  EXPECT_EQ(lines[6].substr(lines[6].size() - 17), " ................");  // bytes 80..8F
  EXPECT_EQ(lines[16], "");

  TMemoryImage shortCode;
  shortCode.AddRegion(0x0012FF00, stack);
  shortCode.AddRegion(0x00401A2B, std::vector<std::uint8_t>(255));
  EXPECT_EQ(BuildProcessorBlock(s.Exception.Context, &shortCode, options).substr(dump), "");

  options.SetLogFlags({});
  EXPECT_EQ(BuildProcessorBlock(s.Exception.Context, &memory, options),
            "Registers:\r\n----------\r\n\r\n");
}
