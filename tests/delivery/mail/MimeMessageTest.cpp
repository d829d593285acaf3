#include "delivery/mail/EMimeMessage.h"

#include <gtest/gtest.h>

#include "delivery/mail/EBase64.h"
#include "tests/delivery/mail/MemoryMailFiles.h"

namespace {

const std::string B = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";

}  // namespace

TEST(MimeMessage, BodyByteForByteWithTwoLineBase64PngAndMissingFiles) {
  MemoryMailFiles files;
  const std::string report(120, 'R');  // 160 Base64 characters: exactly two lines
  files.files["C:\\Temp\\OskedaLog.txt"] = report;
  files.files["C:\\Temp\\Shot.png"] = "PNG";
  const std::string line1 = Base64Encode(report).substr(0, 80);
  const std::string line2 = Base64Encode(report).substr(80);
  const std::string body = BuildMimeBody(
      "Hello\r\n\r\n\r\nreport",
      BuildAttachmentParts(files, {"C:\\Temp\\OskedaLog.txt", "C:\\Temp\\gone.bin", "  "},
                           {"C:\\Temp\\Shot.png"}));
  const std::string expected =
      "This is a multi-part message in MIME format\r\n\r\n--" + B +
      "\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
      "Hello\r\n\r\n\r\nreport\r\n"
      "\r\n--" + B + "\r\nContent-Type: application/octet-stream;\r\n"
      "        name=\"OskedaLog.txt\"\r\n"
      "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n"
      "        filename=\"OskedaLog.txt\"\r\n\r\n" +
      line1 + "\r\n" + line2 + "\r\n\r\n"
      "\r\n--" + B + "\r\nContent-Type: image/png;\r\n"
      "        name=\"Shot.png\"\r\n"
      "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n"
      "        filename=\"Shot.png\"\r\n\r\n"
      "UE5H\r\n"
      "--" + B + "--\r\n";
  EXPECT_EQ(body, expected);
}

TEST(MimeMessage, Base64LinesEndOnlyAfterFullLines) {
  MemoryMailFiles files;
  files.files["a"] = std::string(61, 'x');  // 84 characters
  files.files["b"] = "";
  const std::string text = EncodeFileBase64Lines(files, "a");
  EXPECT_EQ(text.size(), 86u);
  EXPECT_EQ(text.substr(80, 2), "\r\n");
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(EncodeFileBase64Lines(files, "b"), "");
  EXPECT_EQ(EncodeFileBase64Lines(files, "missing"), "");
  EXPECT_NE(BuildAttachmentPart(files, "b"), "");  // an empty file is still attached
}

TEST(MimeMessage, MessageTextHeadersAndClosingStop) {
  const std::string text = BuildMailMessageText(
      {"Tue, 8 Dec 2026 09:05:03 +0100", "app@x.org", "Crash\r\nBcc: evil@y", "dev@x.org", 123456},
      "BODY\r\n");
  EXPECT_EQ(text,
            "Date: Tue, 8 Dec 2026 09:05:03 +0100\r\n"
            "From: <app@x.org>\r\n"
            "Subject: Crash Bcc: evil@y\r\n"
            "To: <dev@x.org>\r\n"
            "Content-Type: multipart/mixed; boundary=\"" + B + "\";\r\nMIME-Version: 1.0\r\n"
            "Message-ID: <123456@dialmoor.invalid>\r\n\r\n"
            "BODY\r\n.");
}

TEST(MimeMessage, LinesBeginningWithAFullStopGetASecondOne) {
  // A report line that is a lone "." would otherwise end the message at the server.
  EXPECT_EQ(DoubleLeadingFullStops(".start\r\n.\r\nmid.dle\r\n..two\r\nbare\n.lf\r\n"),
            "..start\r\n..\r\nmid.dle\r\n...two\r\nbare\n.lf\r\n");
  const std::string text = BuildMailMessageText({"d", "s", "t", "r", 1}, "a\r\n.\r\nb\r\n");
  EXPECT_NE(text.find("\r\na\r\n..\r\nb\r\n."), std::string::npos);
  EXPECT_EQ(text.find("\r\n.\r\n"), std::string::npos);
}
