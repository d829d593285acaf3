#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/package/EScreenshot.h"
#include "delivery/send/EAttachments.h"
#include "delivery/send/ESendReport.h"
#include "report/capture/EOskedaEvents.h"
#include "report/capture/EReportContext.h"
#include "report/options/ECoreOptions.h"

namespace fs = std::filesystem;

namespace {

class TQuietOutput final : public IDeliveryErrorOutput {
 public:
  void DebugOutput(const std::string&) override {}
  void ShowErrorBox(const std::string&) override {}
};

class TFakeEvents final : public IReportEvents {
 public:
  std::vector<std::string> Trace;
  int RetriesWanted = 0;
  std::vector<std::string> ExtraFiles;
  bool ActionNotify(int action) override {
    Trace.push_back("action " + std::to_string(action));
    return true;
  }
  bool ErrorNotify(int action, const std::string& message) override {
    Trace.push_back("error " + std::to_string(action) + " " + message);
    return RetriesWanted-- > 0;
  }
  void AttachedFiles(std::vector<std::string>& files) override {
    files.insert(files.end(), ExtraFiles.begin(), ExtraFiles.end());
  }
  void CustomFields(std::vector<std::string>& names, std::vector<std::string>& values) override {
    names.push_back("build");
    values.push_back("42");
  }
};

class TMailFiles final : public IMailFileSource {
 public:
  std::optional<std::string> ReadWholeFile(const std::string& path) override {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

std::string Slurp(const fs::path& path) { return *TMailFiles().ReadWholeFile(path.string()); }

// A delivery against a folder of its own: real files, recorded channels.
class SendReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("send-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "temp");
    fs::create_directories(root_ / "logs");
    options_.SetLogFolder((root_ / "logs" / "").string());
    options_.SetMailChannel(mcSmtpClient);
    options_.SetMailRecipients("dev@dialmoor.test");
    options_.SetMailBodyText("Body");
    options_.SetSendFlags({});
    options_.SetBehaviourFlags({});
    job_.Options = &options_;
    job_.Events = &events_;
    job_.Text = "Report text";
    job_.ReportTime = EncodeDate(2026, 12, 7) + EncodeTime(10, 31, 30, 0);

    services_.TempFolder = (root_ / "temp" / "").string();
    services_.WriteFile = [](const std::string& path, std::string_view content) {
      std::ofstream out(path, std::ios::binary);
      out << content;
      return static_cast<bool>(out);
    };
    services_.FileExists = [](const std::string& path) { return fs::is_regular_file(path); };
    services_.RemoveFile = [](const std::string& path) { return fs::remove(path) || true; };
    services_.RenameFile = [](const std::string& from, const std::string& to) {
      return !fs::exists(to) && (fs::rename(from, to), true);
    };
    services_.ListFolder = [](const std::string& folder) { return Names(folder); };
    services_.Pack = [this](const std::string& archive, const std::vector<std::string>& files,
                            const std::function<std::string(const std::string&)>& entryName) {
      std::string listing;
      for (const std::string& file : files) listing += entryName(file) + "\n";
      packed_.push_back(listing);
      std::ofstream(archive, std::ios::binary) << listing;
    };
    services_.SaveScreenshot = [](const TScreenshotPixels&, const std::string& path) {
      return static_cast<bool>(std::ofstream(path) << "png");
    };
    services_.WriteXmlCopy = [](const std::string& textCopy, std::string_view,
                                const std::string& xml) {
      std::ofstream(xml, std::ios::binary) << "<Doc>" << Slurp(textCopy) << "</Doc>";
    };
    services_.CopyToClipboard = [this](const std::string& text) { clipboard_ = text; };
    services_.ShowMessage = [this](const std::string& caption, const std::string& text,
                                   std::uint32_t flags) {
      shown_.push_back(caption + "|" + text + "|" + std::to_string(flags));
    };
    services_.StartSendDialog = []() -> ISendStatus& { return NoSendDialog(); };
    services_.SendSmtp = [this](const TSmtpMail& mail, IMailFileSource& files, ISendStatus&) {
      mail_ = mail;
      mailFiles_.clear();
      for (const std::string& name : mail.Attachments)
        mailFiles_.push_back(files.ReadWholeFile(name).value_or("<unreadable>"));
      if (smtpFailures_ > 0) {
        --smtpFailures_;
        StoreDeliveryError(eeEmailSMTPError, "[SMTP] refused", false, output_);
        return false;
      }
      return true;
    };
    services_.SendByMAPI = [this](const TMailProgramMessage& message) {
      programCalls_.push_back("MAPI " + message.Body);
      return false;
    };
    services_.SendByShell = [this](const TMailProgramMessage& message, std::string_view) {
      programCalls_.push_back("Shell " + message.Body);
      return true;
    };
    services_.SendWeb = [this](const TWebDelivery& web, ISendStatus&) {
      if (webThrows_) throw Exception("upload broke");
      web_ = web;
      return webDelivers_;
    };
    services_.MailFiles = &mailFiles;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Temp(const std::string& name) const { return (root_ / "temp" / name).string(); }
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    return names;
  }
  std::set<std::string> FilesIn(const char* folder) const {
    const std::vector<std::string> names = Names(root_ / folder);
    return {names.begin(), names.end()};
  }
  bool Send() { return TReportSender(job_, services_).SendReport(); }

  fs::path root_;
  TOskedaModuleOptions options_{"App.exe", false};
  TFakeEvents events_;
  TSendJob job_;
  TSendServices services_;
  TMailFiles mailFiles;
  TQuietOutput output_;
  int smtpFailures_ = 0;
  bool webDelivers_ = true;
  bool webThrows_ = false;
  TSmtpMail mail_;
  std::vector<std::string> mailFiles_;
  TWebDelivery web_;
  std::vector<std::string> programCalls_;
  std::vector<std::string> packed_;
  std::vector<std::string> shown_;
  std::string clipboard_;
};

TEST_F(SendReportTest, WithTheReportInTheBodyOnlyTheWebGetsTheTextCopy) {
  options_.SetWebChannel(wcHttp);
  options_.SetReportInMailBody(false);
  ASSERT_TRUE(Send());
  EXPECT_EQ(mail_.Attachments, std::vector<std::string>{Temp("App.osk")});
  EXPECT_EQ(mailFiles_, std::vector<std::string>{"Report text\r\n\r\n\r\n"});
  EXPECT_EQ(web_.Attachments, mail_.Attachments);
  EXPECT_EQ(mail_.Body, "Body");

  options_.SetReportInMailBody(true);
  ASSERT_TRUE(Send());
  EXPECT_TRUE(mail_.Attachments.empty());
  EXPECT_EQ(mail_.Body, "Body\r\n\r\n\r\nReport text");
  EXPECT_EQ(web_.Attachments, std::vector<std::string>{Temp("App.osk")});
  EXPECT_EQ(web_.FieldNames, std::vector<std::string>{"build"});
}

TEST_F(SendReportTest, ExtraFilesAreSplitAndMissingFilesDropped) {
  const std::string present = (root_ / "present.txt").string();
  const std::string added = (root_ / "added.txt").string();
  std::ofstream(present) << "p";
  std::ofstream(added) << "a";
  options_.SetExtraFiles(" " + present + " ;;" + (root_ / "missing.txt").string() + "; ");
  events_.ExtraFiles = {added, (root_ / "gone.txt").string()};
  options_.SetSendFlags({sfAttachXmlLog, sfAttachScreenshot});
  const TScreenshotPixels picture;
  job_.Screenshot = &picture;
  TReportSender sender(job_, services_);
  ASSERT_TRUE(sender.SendReport());
  EXPECT_EQ(mail_.Attachments, (std::vector<std::string>{present, Temp("App.osk"),
                                                         Temp("Screenshot.png"), Temp("App.xml"),
                                                         added}));
  EXPECT_EQ(mailFiles_[3], "<Doc>Report text\r\n\r\n\r\n</Doc>");
}

TEST_F(SendReportTest, AttachmentsAreSentUnderStampedNamesAndPacked) {
  EXPECT_EQ(AttachmentName("C:\\x\\Screenshot.png", true, job_.ReportTime),
            "Screenshot_20261207103130.png");
  EXPECT_EQ(AttachmentName("C:\\x.y\\README", true, job_.ReportTime), "README_20261207103130");
  EXPECT_EQ(AttachmentName("C:\\x\\Screenshot.png", false, job_.ReportTime), "Screenshot.png");

  options_.SetWebChannel(wcHttp);
  options_.SetSendFlags({sfTimestampFileNames, sfCompressAttachments});
  ASSERT_TRUE(Send());
  ASSERT_EQ(packed_.size(), 1u);
  EXPECT_EQ(packed_[0], "App_20261207103130.osk\n");
  // The mail reads the archive under its stamped name; the web sends the same archive.
  EXPECT_EQ(mail_.Attachments, std::vector<std::string>{Temp("CompressFiles_20261207103130.tgz")});
  EXPECT_EQ(mailFiles_, std::vector<std::string>{"App_20261207103130.osk\n"});
  EXPECT_EQ(web_.Attachments, std::vector<std::string>{Temp("CompressFiles.tgz")});
  EXPECT_EQ(web_.RemoteNames, std::vector<std::string>{"CompressFiles_20261207103130.tgz"});
}

TEST_F(SendReportTest, OutcomeMessageAndClipboardCopy) {
  options_.SetSendFlags({sfShowSendResult});
  options_.SetBehaviourFlags({bfCopyOnFailure});
  ASSERT_TRUE(Send());
  EXPECT_EQ(clipboard_, "");
  smtpFailures_ = 1;
  ASSERT_FALSE(Send());
  EXPECT_EQ(clipboard_, "Report text");
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0], options_.GetText(0) + "|The message was sent successfully.|" +
                           std::to_string(0x242040));
  EXPECT_EQ(shown_[1], options_.GetText(0) + "|Sorry, sending the message didn't work.|" +
                           std::to_string(0x242010));
}

TEST_F(SendReportTest, ARetryAskedByTheErrorHandlerSendsAgain) {
  smtpFailures_ = 2;
  events_.RetriesWanted = 1;
  EXPECT_FALSE(Send());
  smtpFailures_ = 2;
  events_.RetriesWanted = 5;
  events_.Trace.clear();
  EXPECT_TRUE(Send());
  EXPECT_EQ(events_.Trace, (std::vector<std::string>{"action 4", "error 5 [SMTP] refused",
                                                     "error 5 [SMTP] refused", "action 5"}));
}

TEST_F(SendReportTest, TheMailProgramFallsBackToItsMailtoCommandWithTheBodyAlone) {
  options_.SetMailChannel(mcMailClient);
  options_.SetReportInMailBody(true);
  EXPECT_TRUE(Send());
  EXPECT_EQ(programCalls_, (std::vector<std::string>{"MAPI Body\r\n\r\n\r\nReport text",
                                                     "Shell Body"}));
}

TEST_F(SendReportTest, KeptUnsentArchivesWithAndWithoutTimeStamps) {
  options_.SetBehaviourFlags({bfKeepUnsent});
  options_.SetSendFlags({sfTimestampFileNames});
  smtpFailures_ = 100;
  std::ofstream(root_ / "logs" / "other.tgz") << "not ours";
  std::set<std::string> expected{"other.tgz"};
  for (int second = 0; second < 11; ++second) {
    job_.ReportTime = EncodeDate(2026, 12, 7) + EncodeTime(10, 31, second, 0);
    ASSERT_FALSE(Send());
    expected.insert(AttachmentName("CompressFiles.tgz", true, job_.ReportTime));
  }
  // The eleventh removed the oldest kept copy and nothing else.
  expected.erase("CompressFiles_20261207103100.tgz");
  EXPECT_EQ(FilesIn("logs"), expected);
  EXPECT_EQ(Slurp(root_ / "logs" / "CompressFiles_20261207103110.tgz"), "App_20261207103110.osk\n");

  // Without time stamps a packed list replaces the kept copy...
  fs::remove_all(root_ / "logs");
  fs::create_directories(root_ / "logs");
  options_.SetSendFlags({});
  job_.Text = "first";
  ASSERT_FALSE(Send());
  options_.SetExtraFiles((root_ / "logs" / "CompressFiles.tgz").string() + ";");
  job_.Text = "second";
  ASSERT_FALSE(Send());
  EXPECT_EQ(packed_.back(), "CompressFiles.tgz\nApp.osk\n");
  // ...while a moved archive leaves an existing one alone.
  options_.SetExtraFiles("");
  options_.SetSendFlags({sfCompressAttachments});
  ASSERT_FALSE(Send());
  EXPECT_EQ(Slurp(root_ / "logs" / "CompressFiles.tgz"), "CompressFiles.tgz\nApp.osk\n");
  EXPECT_TRUE(FilesIn("temp").empty());
}

TEST_F(SendReportTest, TemporaryFilesGoInEveryCase) {
  options_.SetWebChannel(wcHttp);
  options_.SetSendFlags({sfAttachXmlLog, sfAttachScreenshot, sfAttachLastPage,
                         sfCompressAttachments});
  const TScreenshotPixels picture;
  job_.Screenshot = &picture;
  job_.LastHtmlPage = "<html></html>";
  ASSERT_TRUE(Send());
  EXPECT_TRUE(FilesIn("temp").empty());
  webDelivers_ = false;
  ASSERT_FALSE(Send());
  EXPECT_TRUE(FilesIn("temp").empty());
  webThrows_ = true;
  EXPECT_THROW(Send(), Exception);
  EXPECT_TRUE(FilesIn("temp").empty());
  // A CGI program leaves its last page for the server.
  services_.CgiProgram = true;
  webThrows_ = false;
  Send();
  EXPECT_EQ(FilesIn("temp"), std::set<std::string>{"LastHTMLPage.html"});
}

TEST(KeptArchives, OnlyTheOldestKeptArchivesBeyondTenGo) {
  std::vector<std::string> names{"App.osk", "backup.tgz"};
  for (int i = 11; i >= 0; --i) names.push_back("CompressFiles_202612071031" + std::to_string(10 + i) + ".tgz");
  names.push_back("compressfiles.TGZ");
  EXPECT_EQ(KeptArchivesToDelete(names),
            (std::vector<std::string>{"compressfiles.TGZ", "CompressFiles_20261207103110.tgz",
                                      "CompressFiles_20261207103111.tgz"}));
}

}  // namespace
