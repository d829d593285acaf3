#include "delivery/send/ESendReport.h"

#include <map>

#include "delivery/mail/EDeliveryError.h"
#include "delivery/send/EAttachments.h"
#include "report/capture/EOskedaEvents.h"
#include "report/capture/EReportContext.h"
#include "report/options/ECoreOptions.h"

namespace {

constexpr int TextResultCaption = 0;
constexpr int TextSendSucceeded = 94;
constexpr int TextSendFailed = 95;
constexpr std::string_view TextCopyEnd = "\r\n\r\n\r\n";

// Attachments read under the names they are sent with: the mail takes an attachment's name
// from its path, so each file is offered as its folder plus that name and read from its own.
class TRenamedMailFiles final : public IMailFileSource {
 public:
  explicit TRenamedMailFiles(IMailFileSource& files) : files_(files) {}
  std::string Offer(const std::string& path, const std::string& sentName) {
    std::string shown = FolderPart(path) + sentName;
    real_[shown] = path;
    return shown;
  }
  std::optional<std::string> ReadWholeFile(const std::string& path) override {
    const auto it = real_.find(path);
    return files_.ReadWholeFile(it == real_.end() ? path : it->second);
  }

 private:
  IMailFileSource& files_;
  std::map<std::string, std::string> real_;
};

}  // namespace

// Removes what the delivery wrote to the temporary folder, however it ends.
class TReportSender::TTemporaryFiles {
 public:
  explicit TTemporaryFiles(const TReportSender& sender) : sender_(sender) {}
  TTemporaryFiles(const TTemporaryFiles&) = delete;
  TTemporaryFiles& operator=(const TTemporaryFiles&) = delete;
  ~TTemporaryFiles() {
    const TSendServices& services = sender_.services_;
    const auto remove = [&](const std::string& path) {
      try {
        services.RemoveFile(path);
      } catch (...) {
      }
    };
    if (sender_.job_.Options->SendFlags().Contains(sfCompressAttachments))
      remove(sender_.ArchivePath());
    remove(sender_.XmlCopyPath());
    if (!services.CgiProgram) remove(sender_.LastPagePath());
    remove(sender_.ScreenshotPath());
    remove(sender_.TextCopyPath());
  }

 private:
  const TReportSender& sender_;
};

TReportSender::TReportSender(const TSendJob& job, const TSendServices& services)
    : job_(job), services_(services) {}

std::string TReportSender::TextCopyPath() const {
  return services_.TempFolder + FileNamePart(job_.Options->LogFileName());
}
std::string TReportSender::ScreenshotPath() const {
  return services_.TempFolder + std::string(ScreenshotFileName);
}
std::string TReportSender::LastPagePath() const {
  return services_.TempFolder + std::string(LastPageFileName);
}
std::string TReportSender::XmlCopyPath() const {
  return ChangeFileExtension(TextCopyPath(), ".xml");
}
std::string TReportSender::ArchivePath() const {
  return services_.TempFolder + std::string(ArchiveFileName);
}

std::string TReportSender::AttachmentName(const std::string& path) const {
  return ::AttachmentName(path, job_.Options->SendFlags().Contains(sfTimestampFileNames),
                         job_.ReportTime);
}

void TReportSender::WriteTemporaryFiles() {
  const TSendFlags flags = job_.Options->SendFlags();
  std::string text = job_.TextToDeliver.empty() ? job_.Text : job_.TextToDeliver;
  if (!text.ends_with(TextCopyEnd)) text += TextCopyEnd;
  services_.WriteFile(TextCopyPath(), text);
  if (flags.Contains(sfAttachScreenshot) && job_.Screenshot)
    screenshotMade_ = services_.SaveScreenshot(*job_.Screenshot, ScreenshotPath());
  if (flags.Contains(sfAttachLastPage) && !job_.LastHtmlPage.empty())
    lastPageMade_ = services_.WriteFile(LastPagePath(), job_.LastHtmlPage);
  if (flags.Contains(sfAttachXmlLog)) {
    services_.WriteXmlCopy(TextCopyPath(), job_.Text, XmlCopyPath());
    xmlCopyMade_ = true;
  }
}

bool TReportSender::SendReport() {
  attachments_.clear();
  fieldNames_.clear();
  fieldValues_.clear();
  ResetDeliveryError();
  const TOskedaModuleOptions& options = *job_.Options;
  TTemporaryFiles temporary(*this);
  WriteTemporaryFiles();

  bool result = true;
  if (options.MailChannel() != mcNone) {
    BuildAttachmentList(true);
    result = SendReportByMail();
  }
  if (options.WebChannel() != wcNone) {
    if (options.MailChannel() == mcNone || options.ReportInMailBody()) BuildAttachmentList(false);
    result = SendReportByWeb() && result;
  }
  if (!result && options.BehaviourFlags().Contains(bfCopyOnFailure))
    services_.CopyToClipboard(job_.Text);
  if (options.SendFlags().Contains(sfShowSendResult))
    services_.ShowMessage(options.GetText(TextResultCaption),
                          options.GetText(result ? TextSendSucceeded : TextSendFailed),
                          result ? SendResultSuccessFlags : SendResultFailureFlags);
  if (!result && options.BehaviourFlags().Contains(bfKeepUnsent)) KeepUnsentArchive();
  return result;
}

void TReportSender::BuildAttachmentList(bool forMail) {
  const TOskedaModuleOptions& options = *job_.Options;
  attachments_ = SplitExtraFiles(options.ExtraFiles());
  if (!(forMail && options.ReportInMailBody())) attachments_.push_back(TextCopyPath());
  if (screenshotMade_) attachments_.push_back(ScreenshotPath());
  if (lastPageMade_) attachments_.push_back(LastPagePath());
  if (xmlCopyMade_) attachments_.push_back(XmlCopyPath());
  if (job_.Events) job_.Events->AttachedFiles(attachments_);
  std::erase_if(attachments_, [&](const std::string& path) { return !services_.FileExists(path); });
  // An empty list packs into no archive at all: nothing is attached then.
  if (options.SendFlags().Contains(sfCompressAttachments) && !attachments_.empty()) {
    services_.Pack(ArchivePath(), attachments_,
                   [this](const std::string& path) { return AttachmentName(path); });
    attachments_.assign(1, ArchivePath());
  }
}

bool TReportSender::WithRetries(int errorAction, const std::function<bool()>& attempt) {
  bool delivered = false;
  bool retry = false;
  do {
    delivered = attempt();
    retry = !delivered && job_.Events &&
            job_.Events->ErrorNotify(errorAction, LastDeliveryError().Text);
  } while (retry);
  return delivered;
}

bool TReportSender::SendReportByMail() {
  const TOskedaModuleOptions& options = *job_.Options;
  if (job_.Events && !job_.Events->ActionNotify(atBeforeEmail)) return false;
  std::string body = options.MailBodyText();
  if (options.ReportInMailBody())
    body += std::string(TextCopyEnd) + (job_.TextToDeliver.empty() ? job_.Text : job_.TextToDeliver);
  const bool delivered = WithRetries(atAfterEmail, [&] {
    if (options.MailChannel() == mcSmtpClient || options.MailChannel() == mcSmtpServer) {
      TRenamedMailFiles files(*services_.MailFiles);
      TSmtpMail mail;
      mail.DirectMX = options.MailChannel() == mcSmtpServer;
      mail.From = options.MailSender();
      mail.SmtpHost = options.MailServer();
      for (const std::string& path : attachments_)
        mail.Attachments.push_back(files.Offer(path, AttachmentName(path)));
      mail.Body = body;
      mail.Subject = options.MailSubject();
      mail.Recipients = options.MailRecipients();
      mail.Password = options.MailServerPassword();
      mail.UserID = options.MailServerLogin();
      mail.Port = options.MailServerPort();
      ISendStatus& status = services_.StartSendDialog();
      return services_.SendSmtp(mail, files, status);
    }
    TMailProgramMessage message{options.MailRecipients(), options.MailSubject(), body,
                                attachments_, {}};
    for (const std::string& path : attachments_) message.FileNames.push_back(AttachmentName(path));
    if (services_.SendByMAPI(message)) return true;
    message.Body = options.MailBodyText();
    return services_.SendByShell(message, job_.Text);
  });
  if (job_.Events) job_.Events->ActionNotify(atAfterEmail);
  return delivered;
}

bool TReportSender::SendReportByWeb() {
  const TOskedaModuleOptions& options = *job_.Options;
  if (job_.Events && !job_.Events->ActionNotify(atBeforeWeb)) return false;
  fieldNames_.clear();
  fieldValues_.clear();
  if (job_.Events) job_.Events->CustomFields(fieldNames_, fieldValues_);
  // Names without values (or the reverse) from a careless handler are dropped, never sent
  // out of step.
  const std::size_t fields = std::min(fieldNames_.size(), fieldValues_.size());
  fieldNames_.resize(fields);
  fieldValues_.resize(fields);
  TWebDelivery web;
  web.Channel = options.WebChannel();
  web.UploadURL = options.UploadURL();
  web.UploadPort = options.UploadPort();
  web.UploadLogin = options.UploadLogin();
  web.UploadPassword = options.UploadPassword();
  web.Attachments = attachments_;
  for (const std::string& path : attachments_) web.RemoteNames.push_back(AttachmentName(path));
  web.FieldNames = fieldNames_;
  web.FieldValues = fieldValues_;
  const bool delivered = WithRetries(atAfterWeb, [&] {
    ISendStatus& status = services_.StartSendDialog();
    return services_.SendWeb(web, status);
  });
  if (job_.Events) job_.Events->ActionNotify(atAfterWeb);
  return delivered;
}

void TReportSender::KeepUnsentArchive() {
  const TOskedaModuleOptions& options = *job_.Options;
  const std::string folder = FolderPart(options.LogFileName());
  const std::string kept = folder + AttachmentName(std::string(ArchiveFileName));
  if (options.SendFlags().Contains(sfCompressAttachments)) {
    // An archive of that name kept before stays: the move does not replace it.
    if (services_.FileExists(ArchivePath())) services_.RenameFile(ArchivePath(), kept);
  } else if (!attachments_.empty()) {
    services_.Pack(kept, attachments_,
                   [this](const std::string& path) { return AttachmentName(path); });
  }
  for (const std::string& name : KeptArchivesToDelete(services_.ListFolder(folder)))
    services_.RemoveFile(folder + name);
}
