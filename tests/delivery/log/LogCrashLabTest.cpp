// A log written by the crash lab under Wine (an access violation, then a division by zero):
// the reader, the field values, every section reader and the XML copy on real reports; and
// the keyed crash lab's log, whose names only the password turns back into names.
#include <gtest/gtest.h>

#include "delivery/log/ELogFile.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

struct CrashLabLog : ::testing::Test {
  CrashLabLog() : log(DM_LOG_TEST_DATA "/CrashLabLog.osk", true) {}
  TLogFile log;
};

TEST_F(CrashLabLog, ReportsAndTheirFields) {
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.GetVersion(0), "5.1.12");
  EXPECT_EQ(log.GetFieldValue(0, "2.3"), "CrashLab.exe");
  EXPECT_EQ(log.GetFieldValue(0, "2.4"), "EAccessViolation");
  EXPECT_EQ(log.GetFieldValue(1, "2.4"), "EDivByZero");
  EXPECT_EQ(log.GetFieldValue(1, "2.5"), "Division by zero.");
  EXPECT_EQ(log.GetFieldValue(0, "1.3"), "") << "the crash lab has no version resource";
  const std::string values[] = {log.GetFieldValue(0, "2.2"), "CrashLab.exe", "EAccessViolation",
                                log.GetFieldValue(0, "2.5")};
  const std::string ids[] = {"2.2", "2.3", "2.4", "2.5"};
  EXPECT_TRUE(log.IsDuplicate(ids, values));
}

TEST_F(CrashLabLog, SectionReaders) {
  for (int i = 0; i < log.Count(); ++i) {
    const std::string header = log.GetHeaderPart(i);
    EXPECT_TRUE(header.starts_with("OskedaLog 5.1.12\r\n")) << i;
    EXPECT_TRUE(Contains(header, "  2.4 Type   : ")) << i;
    EXPECT_FALSE(Contains(header, "Call Stack Information")) << i;

    const std::string stack = log.GetCallStack(i);
    EXPECT_TRUE(stack.starts_with("-----")) << i;
    EXPECT_TRUE(Contains(stack, "|Exception Thread: ID=")) << i;
    EXPECT_TRUE(Contains(stack, "|tests/report/capture/crashlab/CrashLab.cpp|")) << i;
    EXPECT_TRUE(stack.ends_with("-\r\n\r\n")) << i;

    const std::string modules = log.GetModules(i);
    EXPECT_TRUE(modules.starts_with("-----")) << i;
    EXPECT_TRUE(Contains(modules, "|CrashLab.exe")) << i;
    EXPECT_TRUE(Contains(modules, "|kernel32.dll")) << i;

    const std::string processor = log.GetProcessor(i);
    EXPECT_TRUE(processor.starts_with("Registers:\r\n")) << i;
    EXPECT_TRUE(Contains(processor, "EIP: " + log.GetFieldValue(i, "2.2"))) << i;
    EXPECT_TRUE(Contains(processor, "Memory Dump:")) << i;
  }
}

TEST_F(CrashLabLog, XmlCopyIsReadByARealParser) {
  const std::string xml = log.LogToXML();
  EXPECT_TRUE(Contains(xml, "<Line ID=\"2.4\" Label=\"Type\" Value=\"EDivByZero\"/>"));
  EXPECT_TRUE(Contains(xml, "Unit=\"tests/report/capture/crashlab/CrashLab.cpp\""));
  EXPECT_TRUE(Contains(xml, "<ExceptionThread ID=\""));
  EXPECT_TRUE(Contains(xml, "<Module Handle=\""));
  EXPECT_TRUE(Contains(xml, "<Registers EAX=\""));
  const std::string folder = ScratchFolder("crashlab-xml");
  log.SaveAsXML(folder + "log.xml");
  const std::string command = "xmllint --noout '" + folder + "log.xml'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// The keyed crash lab's log: two reports made without the key (enciphered cells from its
// tables), one with it (names).
TEST(CrashLabEncipheredLog, XmlCopyDeciphersTheNamesWithThePassword) {
  TLogFile log(DM_LOG_TEST_DATA "/CrashLabEncipheredLog.osk", true);
  ASSERT_EQ(log.Count(), 3);
  EXPECT_TRUE(Contains(log.GetCallStack(0), "|CrashLabKeyed.exe|?c"));
  EXPECT_FALSE(Contains(log.GetCallStack(0), "CrashLab.cpp"));
  const std::string unit = "Unit=\"tests/report/capture/crashlab/CrashLab.cpp\"";
  const std::string stored = log.LogToXML();
  EXPECT_TRUE(Contains(stored, "Unit=\"?c"));

  log.SetNamesPassword("crash lab names");
  const std::string xml = log.LogToXML();
  EXPECT_FALSE(Contains(xml, "Unit=\"?c"));
  EXPECT_TRUE(Contains(xml, unit + " Class=\"(anonymous namespace)::TCrashForm\" Procedure=\"HandlerClick\""));
  EXPECT_TRUE(Contains(xml, "Class=\"TApplication::Dispatch&#060;...&#062;(...)::{lambda(...)#1}\""));
  // The report made without the key now reads as the one made with it.
  EXPECT_TRUE(Contains(log.ReportToXML(0), unit));
  EXPECT_TRUE(Contains(log.ReportToXML(2), unit));

  log.SetNamesPassword("wrong");
  EXPECT_TRUE(Contains(log.LogToXML(), "Unit=\"?c"));
}

}  // namespace
