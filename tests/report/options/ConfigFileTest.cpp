// The repository's options file: every kind of value, the errors a person makes in it, and
// the promise that compiling and loading it gives back what it says.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report/options/EConfigFile.h"
#include "report/options/ECoreOptions.h"
#include "report/options/EOptionsStream.h"

namespace {

std::string ErrorOf(std::string_view text) {
  try {
    ParseConfigFile(text);
  } catch (const EConfigFileError& error) {
    return error.Message();
  }
  return "no error";
}

TEST(ConfigFile, EveryKindOfValue) {
  const TOskedaStoredOptions o = ParseConfigFile(
      "; comment\n"
      "# another\n"
      "[Options]\r\n"
      "MailSender =  reports@example.org  \n"
      "mailsubject = \"  padded \\\"quoted\\\"\\ttab\\\\ \"\n"
      "FreezeWatch = yes\n"
      "SaveToLog = FALSE\n"
      "MailServerPort = 0x24B\n"
      "CloseButtonAfter = -2\n"
      "UploadPort = 4294967295\n"
      "CloseButtonAction = cbaTerminate\n"
      "MailChannel = 3\n"
      "WebChannel = wcFtp\n"
      "LogFlags = lfSkipDuplicates + lfCpuSection\n"
      "SendFlags = 0x0201\n"
      "StackFlags =\n"
      "ReportFieldSet = Application|Name, Network|DHCP\n"
      "PageTemplate = \"<html>\\r\\n<%HTML_TAG%>\\r\\n\"\n"
      "MailBodyText = \"Body\\r\\n\"\n"
      "[Filter]\n"
      "EAbort =\n"
      "EConvertError = Bad value.\n"
      "[Texts]\n"
      "0 = Info\n"
      "95 = \"Failed.\"\n");
  EXPECT_EQ(o.MailSender, "reports@example.org");
  EXPECT_EQ(o.MailSubject, "  padded \"quoted\"\ttab\\ ");
  EXPECT_TRUE(o.FreezeWatch);
  EXPECT_FALSE(o.SaveToLog);
  EXPECT_EQ(o.MailServerPort, 587);
  EXPECT_EQ(o.CloseButtonAfter, -2);
  EXPECT_EQ(o.UploadPort, 0xFFFFFFFFu);
  EXPECT_EQ(o.CloseButtonAction, cbaTerminate);
  EXPECT_EQ(o.MailChannel, mcSmtpServer);
  EXPECT_EQ(o.WebChannel, wcFtp);
  EXPECT_EQ(o.LogFlags.Bits(), lfSkipDuplicates | lfCpuSection);
  EXPECT_EQ(o.SendFlags.Bits(), 0x0201);
  EXPECT_TRUE(o.StackFlags.Empty());
  EXPECT_EQ(o.ReportFieldSet, (TReportFieldSet{rfApplicationName, rfNetworkDHCP}));
  // As the stream stores texts: a final CR LF goes only when it is the first one.
  EXPECT_EQ(o.PageTemplate, "<html>\r\n<%HTML_TAG%>\r\n");
  EXPECT_EQ(o.MailBodyText, "Body");
  EXPECT_EQ(o.FilteredClasses.Items(), (std::vector<std::string>{"EAbort", "EConvertError"}));
  EXPECT_EQ(o.FilteredMessages.Items(), (std::vector<std::string>{"", "Bad value."}));
  EXPECT_EQ(o.Texts[0], "Info");
  EXPECT_EQ(o.Texts[95], "Failed.");
  EXPECT_EQ(o.Texts[1], "Question.") << "texts left out keep their defaults";
  EXPECT_EQ(o.FreezeSeconds, 60);
}

TEST(ConfigFile, LogCapacityKeepsAtLeastOneReportAsTheSetterDoes) {
  EXPECT_EQ(ParseConfigFile("[Options]\nLogCapacity = 0\n").LogCapacity, 1);
  EXPECT_EQ(ParseConfigFile("[Options]\nLogCapacity = -5\n").LogCapacity, 1);
}

TEST(ConfigFile, DebugInfoKeyIsABuildSettingNotAnOption) {
  TConfigFileBuild build;
  const TOskedaStoredOptions options =
      ParseConfigFile("[Build]\nDebugInfoKey = \"s3cret \\\"x\\\"\"\n[Options]\nLogCapacity = 4\n", &build);
  EXPECT_EQ(build.DebugInfoKey, "s3cret \"x\"");
  EXPECT_EQ(options.LogCapacity, 4);
  EXPECT_TRUE(ParseConfigFile("[Build]\nDebugInfoKey = k\n") == TOskedaStoredOptions());
}

TEST(ConfigFile, MistakesNameTheirLine) {
  EXPECT_EQ(ErrorOf("MailSender = x\n"), "1: entry before the first section");
  EXPECT_EQ(ErrorOf("[Options]\n\nMailSendr = x\n"), "3: unknown option \"MailSendr\"");
  EXPECT_EQ(ErrorOf("[Options]\nMailSender = a\nmailsender = b\n"), "3: option given twice");
  EXPECT_EQ(ErrorOf("[Option]\n"), "1: unknown section (Options, Filter, Texts or Build)");
  EXPECT_EQ(ErrorOf("[Build]\nKey = x\n"), "2: unknown build setting \"Key\"");
  EXPECT_EQ(ErrorOf("[Build]\nDebugInfoKey = a\ndebuginfokey = b\n"), "3: build setting given twice");
  EXPECT_EQ(ErrorOf("[Options\n"), "1: unterminated section name");
  EXPECT_EQ(ErrorOf("[Options]\nMailSender\n"), "2: expected Key = Value");
  EXPECT_EQ(ErrorOf("[Options]\n= x\n"), "2: empty key");
  EXPECT_EQ(ErrorOf("[Options]\nFreezeWatch = maybe\n"), "2: not a Boolean (true or false)");
  EXPECT_EQ(ErrorOf("[Options]\nMailServerPort = 65536\n"), "2: number out of range");
  EXPECT_EQ(ErrorOf("[Options]\nFreezeSeconds = 2147483648\n"), "2: number out of range");
  EXPECT_EQ(ErrorOf("[Options]\nFreezeSeconds = -2147483648\n"), "no error");
  EXPECT_EQ(ErrorOf("[Options]\nFreezeSeconds = 12s\n"), "2: not a number");
  EXPECT_EQ(ErrorOf("[Options]\nMailChannel = 4\n"), "2: number out of range");
  EXPECT_EQ(ErrorOf("[Options]\nMailChannel = mcPigeon\n"), "2: unknown name \"mcPigeon\"");
  EXPECT_EQ(ErrorOf("[Options]\nLogFlags = lfCpuSection, sfShowSendDialog\n"),
            "2: unknown name \"sfShowSendDialog\"");
  EXPECT_EQ(ErrorOf("[Options]\nLogFlags = 0x100\n"), "2: number out of range");
  EXPECT_EQ(ErrorOf("[Options]\nReportFieldSet = Computer|Nmae\n"),
            "2: unknown name \"Computer|Nmae\"");
  EXPECT_EQ(ErrorOf("[Options]\nMailSubject = \"open\n"), "2: unterminated quoted value");
  EXPECT_EQ(ErrorOf("[Options]\nMailSubject = \"a\"b\"\n"),
            "2: quote inside a quoted value (write \\\")");
  EXPECT_EQ(ErrorOf("[Options]\nMailSubject = \"\\q\"\n"), "2: unknown escape in a quoted value");
  EXPECT_EQ(ErrorOf("[Texts]\n96 = x\n"), "2: number out of range");
  EXPECT_EQ(ErrorOf("[Texts]\n2 = x\n2 = y\n"), "3: text given twice");
}

TEST(ConfigFile, RepositoryFileCompilesAndLoadsBackUnchanged) {
  std::ifstream in(DIALMOOR_CONFIG_FILE, std::ios::binary);
  ASSERT_TRUE(in) << DIALMOOR_CONFIG_FILE;
  std::stringstream text;
  text << in.rdbuf();
  const TOskedaStoredOptions parsed = ParseConfigFile(text.str());
  EXPECT_FALSE(parsed == TOskedaStoredOptions());

  TMemoryStream stream;
  SaveStoredOptions(stream, parsed);
  stream.SetPosition(0);
  TOskedaModuleOptions loaded("Dialmoor.exe", false);
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(loaded.StoredOptions() == parsed);
}

}  // namespace
