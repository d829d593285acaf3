// TLogFile: reading the file, capacity, saving, duplicates and the fallback folder.
#include <gtest/gtest.h>

#include "delivery/log/ELogFile.h"
#include "delivery/log/ELogReport.h"
#include "delivery/log/ELogSideCopy.h"
#include "tests/delivery/log/LogTestSupport.h"

using namespace logtest;

namespace {

const std::string End = "\r\n\r\n\r\n";

// A small report: a product line and one table.
std::string Small(std::string_view name) {
  return "OskedaLog 5.1.12\r\n\r\nCall Stack Information:\r\n------\r\n|" + std::string(name) +
         "|\r\n------";
}

std::string FileOf(std::initializer_list<std::string> reports) {
  std::string text;
  for (const std::string& report : reports) text += report + End + "\r\n";
  return text.substr(0, text.size() - 2);
}

TEST(LogFileRead, FileEndingWithThreeLineBreaksKeepsItsLastReport) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\a.osk"] = FileOf({Small("one"), Small("two")});
  TLogFile log("C:\\Logs\\a.osk", true, fs);
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Report(0), Small("one") + End);
  EXPECT_EQ(log.Report(1), Small("two") + End);
}

TEST(LogFileRead, LoneLineFeedsAndLoneCarriageReturnsReadAsCrLf) {
  const std::string crlf = FileOf({Small("one"), Small("two")});
  for (const char* lineEnd : {"\n", "\r"}) {
    TMemoryLogFileSystem fs;
    fs.Files["C:\\Logs\\a.osk"] = ReplaceAll(crlf, "\r\n", lineEnd);
    TLogFile log("C:\\Logs\\a.osk", true, fs);
    ASSERT_EQ(log.Count(), 2) << "line end " << int(lineEnd[0]);
    EXPECT_EQ(log.Report(1), Small("two") + End);
  }
}

TEST(LogFileRead, TextWithoutTableBorderIsNoReportAndIsDroppedAtSave) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\a.osk"] =
      FileOf({Small("one"), "stray text\r\n-----\r\nno table", Small("two")});
  TLogFile log("C:\\Logs\\a.osk", false, fs);
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Report(1), Small("two") + End);
  log.Save();
  EXPECT_EQ(fs.Files["C:\\Logs\\a.osk"], FileOf({Small("one"), Small("two")}));
}

TEST(LogFileRead, ShortAndSeparatorlessFilesReadEmpty) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\tiny.osk"] = "-\r\n|";
  fs.Files["C:\\Logs\\open.osk"] = Small("never ended");
  EXPECT_EQ(TLogFile("C:\\Logs\\tiny.osk", true, fs).Count(), 0);
  EXPECT_EQ(TLogFile("C:\\Logs\\open.osk", true, fs).Count(), 0);
}

TEST(LogFileRead, ReportsEndingInLineBreaksReadBackUnchanged) {
  // The writer ends the processor block with a line break, so stored reports are followed by
  // five line breaks; each must still start with its product line.
  TMemoryLogFileSystem fs;
  {
    TLogFile log("C:\\Logs\\a.osk", false, fs);
    log.AddReport(SampleReport(), 32);
    log.AddReport(SampleReportWith("0041B27A", "0041C000"), 32);
    log.Save();
  }
  TLogFile log("C:\\Logs\\a.osk", true, fs);
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Report(0), SampleReport() + End);
  EXPECT_EQ(log.GetVersion(1), "5.1.12");
}

TEST(LogFileCapacity, FullLogKeepsTheNewestBesideTheNewReport) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\a.osk"] = FileOf({Small("1"), Small("2"), Small("3"), Small("4"), Small("5")});
  TLogFile log("C:\\Logs\\a.osk", false, fs);
  log.AddReport(Small("6"), 3);
  ASSERT_EQ(log.Count(), 3);
  EXPECT_EQ(log.Text(), Small("4") + End + "\r\n" + Small("5") + End + "\r\n" + Small("6") + End + "\r\n");
  log.AddReport(Small("7"), 0);
  EXPECT_EQ(log.Count(), 1);
}

TEST(LogFileSave, RewritesAndCutsTheFileAndCreatesAMissingOne) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\a.osk"] = FileOf({Small("1"), Small("2"), Small("3")});
  TLogFile log("C:\\Logs\\a.osk", false, fs);
  log.AddReport(Small("4"), 1);
  log.Save();
  EXPECT_EQ(fs.Files["C:\\Logs\\a.osk"], Small("4") + End);
  EXPECT_FALSE(UnsealSideCopy(fs.Files[SideCopyFileName("C:\\Logs\\a.osk")]));

  TLogFile fresh("C:\\Logs\\new.osk", false, fs);
  EXPECT_FALSE(fs.Files.contains("C:\\Logs\\new.osk"));
  fresh.AddReport(Small("x"), 5);
  fresh.Save();
  EXPECT_EQ(fs.Files["C:\\Logs\\new.osk"], Small("x") + End);
}

TEST(LogFileSave, ReadOnlyAndMemoryLogsNeverWrite) {
  TMemoryLogFileSystem fs;
  fs.Files["C:\\Logs\\a.osk"] = FileOf({Small("1")});
  TLogFile readOnly("C:\\Logs\\a.osk", true, fs);
  readOnly.AddReport(Small("2"), 5);
  EXPECT_THROW(readOnly.Save(), EWriteError);
  TLogFile memory("", false, fs);
  memory.AddReport(Small("2"), 5);
  memory.Save();
  EXPECT_EQ(memory.Count(), 1);
  EXPECT_EQ(fs.Files.size(), 1u);
  EXPECT_EQ(fs.Rewrites, 0);
}

TEST(LogFileSideCopy, SealedSideCopyWinsOverADamagedFileAndTornOneIsIgnored) {
  TMemoryLogFileSystem fs;
  const std::string good = FileOf({Small("old")});
  const std::string saved = FileOf({Small("old"), Small("new")});
  fs.Files["C:\\Logs\\a.osk"] = saved.substr(0, saved.size() / 2) + good;
  fs.Files[SideCopyFileName("C:\\Logs\\a.osk")] = SealSideCopy(saved);
  EXPECT_EQ(TLogFile("C:\\Logs\\a.osk", true, fs).Count(), 2);

  fs.Files["C:\\Logs\\a.osk"] = good;
  const std::string sealed = SealSideCopy(saved);
  fs.Files[SideCopyFileName("C:\\Logs\\a.osk")] = sealed.substr(0, sealed.size() - 1);
  TLogFile log("C:\\Logs\\a.osk", false, fs);
  EXPECT_EQ(log.Count(), 1);
  log.Save();
  EXPECT_FALSE(UnsealSideCopy(fs.Files[SideCopyFileName("C:\\Logs\\a.osk")]));
}

TEST(LogFileSideCopy, SealRejectsEveryDamage) {
  const std::string sealed = SealSideCopy("content");
  EXPECT_EQ(UnsealSideCopy(sealed), "content");
  EXPECT_EQ(UnsealSideCopy(SealSideCopy("")), "");
  for (std::size_t i = 0; i < sealed.size(); ++i) {
    std::string damaged = sealed;
    damaged[i] ^= 0x20;
    EXPECT_FALSE(UnsealSideCopy(damaged)) << "byte " << i;
    EXPECT_FALSE(UnsealSideCopy(sealed.substr(0, i))) << "cut at " << i;
  }
}

TEST(LogFileFallback, UnusableFolderGivesTheProfileFolderOfTheProgram) {
  TMemoryLogFileSystem fs;
  TLogFile log("D:\\ReadOnly\\Dialmoor.osk", false, fs);
  EXPECT_EQ(log.FileName(), "C:\\Users\\ada\\OskedaLog\\Dialmoor\\Dialmoor.osk");
  EXPECT_EQ(TLogFile("C:\\Logs\\x.osk", false, fs).FileName(), "C:\\Logs\\x.osk");
}

TEST(LogFileDuplicates, SameFieldValuesAreADuplicate) {
  TLogFile log("", false);
  log.AddReport(SampleReportWith("0041B27A", "00400000"), 5);
  log.AddReport(SampleReport(), 5);
  const std::vector<std::string> ids = {"2.2", "2.3", "2.4", "2.5"};
  const std::string message =
      "Access violation at address 0041B27A in module 'Dialmoor.exe'. Read of address 00000010.";
  EXPECT_TRUE(log.IsDuplicate(ids, std::vector<std::string>{"0041B27A", "Dialmoor.exe", "EAccessViolation", message}));
  EXPECT_FALSE(log.IsDuplicate(ids, std::vector<std::string>{"0041B27A", "Dialmoor.exe", "EAccessViolation", message + " More"}));
  EXPECT_FALSE(log.IsDuplicate(ids, std::vector<std::string>{"0041B27A", "Dialmoor.exe", "EAccess", message}));
  EXPECT_FALSE(log.IsDuplicate(std::vector<std::string>{"2.9"}, std::vector<std::string>{""}));
}

TEST(LogFileDuplicates, MultiLineValuesMatchInEitherIndentation) {
  const std::string value = "Build: nightly 2026-12-07\r\n\r\nNote: the clock froze after resume";
  const std::vector<std::string> ids = {"7.1"};
  TLogFile log("", false);
  log.AddReport(SampleReport(), 5);
  EXPECT_TRUE(log.IsDuplicate(ids, std::vector<std::string>{value}));
  EXPECT_FALSE(log.IsDuplicate(ids, std::vector<std::string>{"Build: nightly 2026-12-07"}));

  TLogFile wide("", false);
  wide.AddReport(SampleReportWith("\r\n .\r\n Note", "\r\n        .\r\n        Note"), 5);
  EXPECT_TRUE(wide.IsDuplicate(ids, std::vector<std::string>{value}));
  EXPECT_EQ(wide.GetFieldValue(0, "7.1"), value);
}

TEST(LogFileFields, GetFieldValueReadsSingleAndMultiLineValues) {
  TLogFile log("", false);
  log.AddReport(SampleReport(), 5);
  EXPECT_EQ(log.GetFieldValue(0, "2.5"),
            "Access violation at address 0041B27A in module 'Dialmoor.exe'. Read of address 00000010.");
  EXPECT_EQ(log.GetFieldValue(0, "7.1"),
            "Build: nightly 2026-12-07\r\n\r\nNote: the clock froze after resume");
  EXPECT_EQ(log.GetFieldValue(0, "6.6"), "ON");
  EXPECT_EQ(log.GetFieldValue(0, "1.3"), "1.0.3.12");
  EXPECT_EQ(log.GetFieldValue(0, "4.10"), "");
  EXPECT_EQ(log.GetFieldValue(1, "1.3"), "");
  EXPECT_EQ(log.GetFieldValue(-1, "1.3"), "");
}

TEST(LogFileSections, EveryReaderFindsItsPartOfARealisticReport) {
  TLogFile log("", false);
  log.AddReport(SampleReport(), 5);
  log.AddReport(OldFormatReport(), 5);
  EXPECT_EQ(log.GetVersion(0), "5.1.12");
  EXPECT_EQ(log.GetVersion(1), "4.2.7");

  const std::string header = log.GetHeaderPart(0);
  EXPECT_TRUE(header.starts_with("OskedaLog 5.1.12\r\n\r\nApplication:\r\n---"));
  EXPECT_TRUE(header.ends_with(" Note:_the clock froze after resume")) << header;

  const std::string stack = log.GetCallStack(0);
  EXPECT_TRUE(stack.starts_with("-----")) << stack.substr(0, 40);
  EXPECT_NE(stack.find("\r\n|Address |Module "), std::string::npos);
  EXPECT_NE(stack.find("|Running Thread: ID=1388"), std::string::npos);
  EXPECT_TRUE(stack.ends_with("|121[0]  |\r\n" + std::string(83, '-') + "\r\n\r\n"));

  const std::string modules = log.GetModules(0);
  EXPECT_TRUE(modules.starts_with("-----")) << modules.substr(0, 40);
  EXPECT_NE(modules.find("|7C900000|ntdll.dll   |"), std::string::npos);
  EXPECT_TRUE(modules.ends_with("-\r\n\r\n"));
  EXPECT_EQ(modules.find("Registers"), std::string::npos);

  const std::string cpu = log.GetProcessor(0);
  EXPECT_TRUE(cpu.starts_with("Registers:\r\n-----------------------------\r\nEAX: 00000000   EDI: 0012FF88"));
  EXPECT_TRUE(cpu.ends_with("BE CB D8 E5 F2 FF 0C 19 26 33 40 4D 5A 67 74 81  ........&3@MZgt.")) << cpu;

  EXPECT_EQ(log.GetReproduceText(0), "");
  EXPECT_EQ(log.GetReproduceText(1), "Click \"Now\" twice.\r\nThen resume.");
}

}  // namespace
