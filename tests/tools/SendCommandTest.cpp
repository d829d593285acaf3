#include "tools/SendCommand.h"

#include <gtest/gtest.h>

TEST(SendCommand, ArgumentsTakeOptionsFilesAndOneReportInAnyOrder) {
  const auto parsed = ParseSendArguments(
      {"--file", "a.bin", "report.osk", "--options", "o.ini", "--file", "b.png"});
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->OptionsFile, "o.ini");
  EXPECT_EQ(parsed->ReportFile, "report.osk");
  EXPECT_EQ(parsed->Files, (std::vector<std::string>{"a.bin", "b.png"}));
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"report.osk"},
      {"--options", "o.ini"},
      {"--options", "o.ini", "r1", "r2"},
      {"--options", "o.ini", "--options", "p.ini", "r"},
      {"--options", "o.ini", "r", "--file"},
      {"--options", "", "r"},
      {"--options", "o.ini", "--verbose", "r"},
  };
  for (const auto& args : bad) EXPECT_FALSE(ParseSendArguments(args)) << args.size();
}

TEST(SendCommand, SentFileNamesCarryTheStampBeforeTheExtension) {
  EXPECT_EQ(SentFileName("C:\\r\\Screenshot.png", false, "20261207103130"), "Screenshot.png");
  EXPECT_EQ(SentFileName("C:\\r\\Screenshot.png", true, "20261207103130"),
            "Screenshot_20261207103130.png");
  EXPECT_EQ(SentFileName("C:\\r.d\\README", true, "20261207103130"), "README_20261207103130");
}
