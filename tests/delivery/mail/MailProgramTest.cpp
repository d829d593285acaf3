#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "delivery/mail/EMailtoText.h"
#include "delivery/mail/EMapiMail.h"

namespace {

TEST(URLEncodeMailText, KeepsLettersDigitsHyphenAndHighBytesAndEscapesTheRest) {
  EXPECT_EQ(URLEncodeMailText("Az-09"), "Az-09");
  EXPECT_EQ(URLEncodeMailText("a+b c\r\n"), "a%2Bb%20c%0D%0A");
  EXPECT_EQ(URLEncodeMailText("_.~&=?%/@"), "%5F%2E%7E%26%3D%3F%25%2F%40");
  EXPECT_EQ(URLEncodeMailText("caf\xE9\xFF\x80"), "caf\xE9\xFF\x80");
  EXPECT_EQ(URLEncodeMailText(std::string("\x00\x1F\x7F", 3)), "%00%1F%7F");
}

// The whole address is checked in the mailto handler's command line under Wine.
TEST(MailtoText, EveryPlaceholderIsReplacedOnce) {
  EXPECT_EQ(MailtoCommandLine("\"C:\\mail.exe\" /m \"%1\" %1", "mailto:a"),
            "\"C:\\mail.exe\" /m \"mailto:a\" mailto:a");
  EXPECT_EQ(MailtoCommandLine("m %1", "%1%"), "m %1%");
  EXPECT_EQ(MailtoCommandLine("m.exe", "mailto:a"), "m.exe");
}

// The recipients, subject, flags and shown names as MAPI receives them are checked under Wine
// with a MAPI library of the test's own; these are the rules that test does not reach.
class MapiMailTest : public ::testing::Test {
 protected:
  // Relative entries resolve against C:\work; only the listed files exist.
  std::map<std::string, std::string> existing = {{"report.txt", "C:\\work\\report.txt"},
                                                 {"C:\\tmp\\Shot.png", "C:\\tmp\\Shot.png"},
                                                 {"D:\\logs\\a.log", "D:\\logs\\a.log"}};
  TExistingFileResolver resolver = [this](const std::string& entry) -> std::optional<std::string> {
    const auto found = existing.find(entry);
    if (found == existing.end()) return std::nullopt;
    return found->second;
  };
};

TEST_F(MapiMailTest, LongRecipientsAreCutToTheirBuffers) {
  TMailProgramMessage message;
  const std::string longAddress = std::string(300, 'n') + "@x.test";
  message.Recipients = longAddress;
  const TMapiMail mail = BuildMapiMail(message, false, resolver);
  ASSERT_EQ(mail.Recipients.size(), 1u);
  EXPECT_EQ(mail.Recipients[0].Name, longAddress.substr(0, 256));
  EXPECT_EQ(mail.Recipients[0].Address, ("SMTP:" + longAddress).substr(0, 256));
}

TEST_F(MapiMailTest, FilesKeepTheirOrderAndShownNamesAndMissingOnesAreLeftOut) {
  TMailProgramMessage message;
  message.Files = {"D:\\logs\\a.log", "", "missing.txt", "report.txt", "C:\\tmp\\Shot.png"};
  message.FileNames = {"", "", "gone.txt", "Report_20261208.txt"};
  const TMapiMail mail = BuildMapiMail(message, false, resolver);
  ASSERT_EQ(mail.Files.size(), 3u);
  EXPECT_EQ(mail.Files[0].PathName, "D:\\logs\\a.log");
  EXPECT_EQ(mail.Files[0].FileName, "a.log");
  EXPECT_EQ(mail.Files[1].PathName, "C:\\work\\report.txt");
  EXPECT_EQ(mail.Files[1].FileName, "Report_20261208.txt");
  EXPECT_EQ(mail.Files[2].FileName, "Shot.png");
}

}  // namespace
