// The XML elements, attribute escaping, and the XML copy of reports and of a whole log.
#include <gtest/gtest.h>

#include <cstdlib>

#include "delivery/log/ECallStackNames.h"
#include "delivery/log/ELogFile.h"
#include "delivery/log/ELogReport.h"
#include "delivery/log/EXMLItem.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST(XMLItem, AttributeEscaping) {
  EXPECT_EQ(EscapeXMLAttribute("<&>"), "&#060;&#038;&#062;");
  EXPECT_EQ(EscapeXMLAttribute("say \"it's\""), "say &#034;it&#039;s&#034;");
  EXPECT_EQ(EscapeXMLAttribute("a\tb\r\nc"), "a&#009;b&#013;&#010;c");
  EXPECT_EQ(EscapeXMLAttribute("\x7F\xE9\xFF"), "&#127;&#233;&#255;");
  EXPECT_EQ(EscapeXMLAttribute("plain [text] = 100%"), "plain [text] = 100%");
  // Codes XML cannot carry at all become a question mark.
  EXPECT_EQ(EscapeXMLAttribute(std::string("\x01\x00\x1F", 3)), "&#063;&#063;&#063;");
}

TEST(XMLItem, RenderingOfEmptyAttributedAndNestedElements) {
  TXMLItem empty("CPU");
  EXPECT_EQ(empty.Render(), "<CPU/>\r\n");

  TXMLItem root("Log");
  root.AddAttribute("Version", "5.1.12");
  TXMLItem* group = root.AddChild("Group");
  EXPECT_EQ(group->Parent(), &root);
  group->AddAttribute("ID", "1");
  group->AddChild("Line")->AddAttribute("Value", "<x>");
  root.AddChild("Note")->Content = "text";
  EXPECT_EQ(root.Render(),
            "<Log Version=\"5.1.12\">\r\n"
            "  <Group ID=\"1\">\r\n"
            "    <Line Value=\"&#060;x&#062;\"/>\r\n"
            "  </Group>\r\n"
            "  <Note>text</Note>\r\n"
            "</Log>\r\n");
  TXMLItems items;
  items.Add("A");
  items.Add("B");
  EXPECT_EQ(items.Count(), 2);
  EXPECT_EQ(items.Items(1)->Name(), "B");
  EXPECT_EQ(items.Items(1)->Parent(), nullptr);
}

TEST(LogXML, ReportElementsFromARealisticReport) {
  TLogFile log("", false);
  log.AddReport(SampleReport(), 5);
  const std::string xml = log.ReportToXML(0);
  EXPECT_TRUE(xml.starts_with("<Log Version=\"5.1.12\">\r\n  <General>\r\n    <Group ID=\"1\" Label=\"Application\">\r\n"
                              "      <Line ID=\"1.1\" Label=\"Start Date\" Value=\"Tue, 8 Dec 2026 10:12:03 +0100\"/>\r\n"))
      << xml.substr(0, 300);
  EXPECT_TRUE(xml.ends_with("  </CPU>\r\n</Log>"));
  EXPECT_TRUE(Contains(xml, "<Line ID=\"2.5\" Label=\"Message\" Value=\"Access violation at address 0041B27A in module "
                            "&#039;Dialmoor.exe&#039;. Read of address 00000010.\"/>"));
  EXPECT_TRUE(Contains(xml, "<Group ID=\"7\" Label=\"Other Information\">\r\n      <Line ID=\"7.1\" Label=\"\" "
                            "Value=\"Build: nightly 2026-12-07&#013;&#010;&#013;&#010;Note: the clock froze after resume\"/>"));
  EXPECT_TRUE(Contains(xml, "<ExceptionThread ID=\"1204\" Priority=\"0\" MainThread=\"True\">\r\n"
                            "      <Line Address=\"0041B27A\" Module=\"Dialmoor.exe\" Unit=\"testUTC1.cpp\" "
                            "Class=\"TTimeZoneTester\" Procedure=\"btnLocNowClick\" Number=\"214\" Offset=\"7\"/>"));
  EXPECT_TRUE(Contains(xml, "<RunningThread ID=\"1388\" Priority=\"2\" Class=\"TFreezeWatcher\" MainThread=\"False\">"));
  EXPECT_TRUE(Contains(xml, "<Module Handle=\"7C800000\" Name=\"kernel32.dll\" Description=\"Windows NT BASE API Client DLL\" "
                            "Version=\"5.1.2600.5781\" Size=\"1032192\" Modified=\"2008-04-14 00:00:00\" Path=\"C:\\WINDOWS\\system32\"/>"));
  EXPECT_TRUE(Contains(xml, "<Registers EAX=\"00000000\" EBX=\"00C3F1A0\" ECX=\"7C91003D\" EDX=\"00000001\" "
                            "EDI=\"0012FF88\" ESI=\"00C40010\" ESP=\"0012FD40\" EIP=\"0041B27A\"/>"));
  EXPECT_TRUE(Contains(xml, "<Line Address=\"0012FD7C\" Value=\"004010FF\"/>"));
  EXPECT_TRUE(Contains(xml, "<Line Address=\"0041B36A\" Bytes=\"BE CB D8 E5 F2 FF 0C 19 26 33 40 4D 5A 67 74 81\" "
                            "Chars=\"........&#038;3@MZgt.\"/>"));
  EXPECT_FALSE(Contains(xml, "HoToReproduce"));
  EXPECT_FALSE(Contains(xml, "Address=\"Address\""));  // the column headers are no rows
}

TEST(LogXML, UnknownRegistersHaveNoAttributeAndMissingBlocksGiveEmptyElements) {
  TLogFile log("", false);
  log.AddReport(SampleReportWith("EBX: 00C3F1A0   ESI: 00C40010", "EBX: ????       ESI: ????    "), 5);
  const std::string xml = log.ReportToXML(0);
  EXPECT_TRUE(Contains(xml, "<Registers EAX=\"00000000\" ECX=\"7C91003D\" EDX=\"00000001\" EDI=\"0012FF88\" ESP="));

  const std::string bare = SampleReport().substr(0, SampleReport().find("Modules Information:")) +
                           "Modules Information:\r\n--------------------\r\n\r\nRegisters:\r\n-----------\r\n\r\n";
  TLogFile small("", false);
  small.AddReport(bare, 5);
  const std::string smallXml = small.ReportToXML(0);
  EXPECT_TRUE(Contains(smallXml, "  <Modules/>\r\n  <CPU/>\r\n</Log>"));
}

TEST(LogXML, OlderReportsGetAnExceptionThreadFirstAndTheirReproductionText) {
  TLogFile log("", false);
  log.AddReport(OldFormatReport(), 5);
  const std::string xml = log.ReportToXML(0);
  EXPECT_TRUE(Contains(xml, "<CallStack>\r\n    <ExceptionThread>\r\n"));
  EXPECT_TRUE(xml.ends_with("  <HoToReproduce Text=\"Click &#034;Now&#034; twice.&#013;&#010;Then resume.\"/>\r\n</Log>"));
}

TEST(LogXML, ThreadHeaderAfterCallLinesWithoutSeparatorIsACallingThread) {
  std::string report = SampleReportWith("|---------------------------------------------------------------------------------|\r\n", "");
  report = ReplaceAll(report, "|Running Thread: ID=1388; Priority=2; Class=TFreezeWatcher   ",
                      "|Calling Thread: ID=1388; Priority=2; Class=TFreezeWatcher   ");
  TLogFile log("", false);
  log.AddReport(report, 5);
  const std::string xml = log.ReportToXML(0);
  EXPECT_TRUE(Contains(xml, "Number=\"1530\" Offset=\"12\"/>\r\n      <CallingThread ID=\"1388\" Priority=\"2\" "
                            "Class=\"TFreezeWatcher\" MainThread=\"False\">\r\n        <Line Address=\"00433B70\""))
      << xml;
  EXPECT_FALSE(Contains(xml, "RunningThread"));
}

TEST(LogXML, EncipheredNamesAreReadWithThePassword) {
  const TCipherKey key = CipherKeyFromPassword("names");
  const TCallStackNames cells = EncipherCallStackNames({"Unit1.cpp", "TClockForm", "Timer1Timer"}, key);
  const std::string stored = "|00417A2C|Dialmoor.exe|" + cells.Unit + "|" + cells.Class + "|" + cells.Procedure + "|98[0]|";
  std::string report = SampleReport();
  const std::size_t row = report.find("|00417A2C|");
  report.replace(row, report.find("\r\n", row) - row, stored);

  TLogFile log("", false);
  log.AddReport(report, 5);
  EXPECT_TRUE(Contains(log.ReportToXML(0), "Unit=\"" + cells.Unit + "\""));
  log.SetNamesPassword("names");
  EXPECT_TRUE(Contains(log.ReportToXML(0),
                       "<Line Address=\"00417A2C\" Module=\"Dialmoor.exe\" Unit=\"Unit1.cpp\" Class=\"TClockForm\" "
                       "Procedure=\"Timer1Timer\" Number=\"98\" Offset=\"0\"/>"));
  log.SetNamesPassword("other");
  EXPECT_TRUE(Contains(log.ReportToXML(0), "Unit=\"" + cells.Unit + "\""));
}

TEST(LogXML, WholeLogIsWellFormedForARealParser) {
  const std::string folder = ScratchFolder("xml");
  TLogFile log("", false);
  log.AddReport(SampleReport(), 10);
  log.AddReport(OldFormatReport(), 10);
  // Hostile text where values go: markup, quotes, control and 8-bit characters.
  log.AddReport(SampleReportWith("EAccessViolation", std::string("E<Bad>&\"'\x01\x1B\x7F\xE9") + "</Log>"), 10);
  log.AddReport(SampleReportWith("OskedaLog 5.1.12", "OskedaLog 5\"<&>"), 10);
  log.SaveAsXML(folder + "log.xml");
  const std::string xml = ReadFileText(folder + "log.xml");
  EXPECT_TRUE(xml.starts_with("<Doc>\r\n  <Log Version=\"5.1.12\">\r\n    <General>\r\n"));
  EXPECT_TRUE(xml.ends_with("  </Log>\r\n</Doc>\r\n"));
  const std::string command = "xmllint --noout '" + folder + "log.xml'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
