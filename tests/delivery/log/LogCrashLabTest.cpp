// A log written by the crash lab under Wine (an access violation, then a division by zero):
// the reader, the field values, every section reader and the XML copy on real reports.
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
  EXPECT_EQ(log.GetFieldValue(0, "2.4"), "EAccessViolation");
  EXPECT_EQ(log.GetFieldValue(1, "2.5"), "Division by zero.");
  EXPECT_EQ(log.GetFieldValue(0, "1.3"), "") << "the crash lab has no version resource";
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
  EXPECT_TRUE(Contains(log.LogToXML(), "Unit=\"tests/report/capture/crashlab/CrashLab.cpp\""));
  const std::string folder = ScratchFolder("crashlab-xml");
  log.SaveAsXML(folder + "log.xml");
  const std::string command = "xmllint --noout '" + folder + "log.xml'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
