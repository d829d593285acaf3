// Storing a report from the reporting sequence: duplicates, capacity, the whole log as the
// text to deliver, and a failing file recorded as eeLogError.
#include <gtest/gtest.h>

#include "delivery/log/ELogStore.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

const TDuplicateKey SampleKey = {
    "0041B27A", "Dialmoor.exe", "EAccessViolation",
    "Access violation at address 0041B27A in module 'Dialmoor.exe'. Read of address 00000010."};

struct StoreFixture : ::testing::Test {
  StoreFixture() : options("C:\\Apps\\Dialmoor.exe", false) {
    options.SetLogFolder("C:\\Logs");
  }
  TMemoryLogFileSystem fs;
  TOskedaModuleOptions options;
  const std::string logName = "C:\\Logs\\Dialmoor.osk";
};

TEST_F(StoreFixture, ReportsAreAddedUpToTheCapacityAndSaved) {
  TReportLogKeeper keeper(fs);
  options.SetLogCapacity(2);
  for (const char* address : {"00000001", "00000002", "00000003"}) {
    const TLogStoreResult result =
        keeper.StoreReportInLog(options, SampleReportWith("0041B27A", address), SampleKey);
    EXPECT_EQ(result.Error, eeNone);
    EXPECT_FALSE(result.Duplicate);
  }
  TLogFile log(logName, true, fs);
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.GetFieldValue(0, "2.2"), "00000002");
  EXPECT_EQ(log.GetFieldValue(1, "2.2"), "00000003");
}

TEST_F(StoreFixture, DuplicateIsNeitherAddedNorSaved) {
  // Text that is no report stays in the file only as long as the file is not rewritten.
  fs.Files[logName] = SampleReport() + "\r\n\r\n\r\n\r\nnot a report\r\n\r\n\r\n";
  options.SetLogFlags(options.LogFlags().With(lfSkipDuplicates));
  TReportLogKeeper keeper(fs);
  const TLogStoreResult result = keeper.StoreReportInLog(options, SampleReport(), SampleKey);
  EXPECT_TRUE(result.Duplicate);
  EXPECT_EQ(result.Error, eeNone);
  EXPECT_EQ(keeper.Log()->Count(), 1);
  EXPECT_EQ(fs.Rewrites, 0);
  EXPECT_EQ(fs.Files[logName], SampleReport() + "\r\n\r\n\r\n\r\nnot a report\r\n\r\n\r\n");

  TDuplicateKey other = SampleKey;
  other.Address = "0041B27B";
  EXPECT_FALSE(keeper.StoreReportInLog(options, SampleReport(), other).Duplicate);
  EXPECT_EQ(keeper.Log()->Count(), 2);
}

TEST_F(StoreFixture, WholeLogIsDeliveredWhenAskedAndNothingIsWrittenWithoutSaveToLog) {
  options.SetSendFlags(options.SendFlags().With(sfSendWholeLog));
  options.SetSaveToLog(false);
  TReportLogKeeper keeper(fs);
  keeper.StoreReportInLog(options, "first", SampleKey);
  const TLogStoreResult result = keeper.StoreReportInLog(options, SampleReport(), SampleKey);
  EXPECT_EQ(result.TextToDeliver, "first\r\n\r\n\r\n\r\n" + SampleReport() + "\r\n\r\n\r\n\r\n");
  EXPECT_FALSE(fs.Files.contains(logName));
}

TEST_F(StoreFixture, ChangedLogNameOpensTheOtherLog) {
  TReportLogKeeper keeper(fs);
  keeper.StoreReportInLog(options, SampleReport(), SampleKey);
  options.SetLogFolder("C:\\Logs\\Other.osk");
  keeper.StoreReportInLog(options, SampleReport(), SampleKey);
  EXPECT_EQ(keeper.Log()->FileName(), "C:\\Logs\\Other.osk");
  EXPECT_EQ(keeper.Log()->Count(), 1);
  EXPECT_TRUE(fs.Files.contains(logName));
}

TEST_F(StoreFixture, FailingFileIsRecordedAsLogError) {
  fs.FailCreate = true;
  TReportLogKeeper keeper(fs);
  const TLogStoreResult result = keeper.StoreReportInLog(options, SampleReport(), SampleKey);
  EXPECT_EQ(result.Error, eeLogError);
  EXPECT_EQ(result.ErrorText, "[Log] Cannot create file \"C:\\Logs\\Dialmoor.osk\".");
  EXPECT_EQ(result.TextToDeliver, SampleReport());
}

TEST(XmlLogCopy, ComesFromTheLogCopyOrElseFromTheCurrentReport) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Temp\\Dialmoor.osk"] = SampleReport() + "\r\n\r\n\r\n\r\n" + OldFormatReport() + "\r\n\r\n\r\n";
  WriteXmlLogCopy("C:\\Temp\\Dialmoor.osk", SampleReport(), "", "C:\\Temp\\Dialmoor.xml", fs);
  const std::string both = fs.Files["C:\\Temp\\Dialmoor.xml"];
  EXPECT_NE(both.find("<Log Version=\"4.2.7\">"), std::string::npos);

  WriteXmlLogCopy("C:\\Temp\\Missing.osk", OldFormatReport(), "", "C:\\Temp\\One.xml", fs);
  const std::string one = fs.Files["C:\\Temp\\One.xml"];
  EXPECT_TRUE(one.starts_with("<Doc>\r\n  <Log Version=\"4.2.7\">")) << one.substr(0, 40);
  EXPECT_EQ(one.find("5.1.12"), std::string::npos);
}

}  // namespace
