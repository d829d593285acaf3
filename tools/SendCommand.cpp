#include "tools/SendCommand.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "platform/SysUtils.h"
#include "report/options/EConfigFile.h"

namespace {

constexpr std::string_view Usage = "usage: DialmoorSend --options FILE [--file PATH]... REPORT";

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> SplitFileList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    std::string item = TrimSpaces(std::string_view(text).substr(start, end - start));
    if (!item.empty()) items.push_back(std::move(item));
    start = end + 1;
  }
  return items;
}

// The options' extra files, the text copy unless the report travels in the mail body, and the
// files given on the command line; only files that exist.
std::vector<std::string> Attachments(const TOskedaStoredOptions& options, bool forMail,
                                     const std::string& textCopy,
                                     const std::vector<std::string>& given) {
  std::vector<std::string> list = SplitFileList(options.ExtraFiles);
  if (!(forMail && options.ReportInMailBody)) list.push_back(textCopy);
  list.insert(list.end(), given.begin(), given.end());
  std::erase_if(list, [](const std::string& path) { return !FileExists(path); });
  return list;
}

// Removes the text copy however the command ends.
class TTextCopy {
 public:
  TTextCopy(std::string path, const std::string& text) : path_(std::move(path)) {
    std::ofstream out(path_, std::ios::binary);
    out << text;
  }
  ~TTextCopy() {
    std::error_code error;
    std::filesystem::remove(path_, error);
  }
  TTextCopy(const TTextCopy&) = delete;
  TTextCopy& operator=(const TTextCopy&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::optional<TSendArguments> ParseSendArguments(const std::vector<std::string>& args) {
  TSendArguments parsed;
  bool haveOptions = false, haveReport = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--options" || arg == "--file") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
      if (arg == "--file") {
        parsed.Files.push_back(args[++i]);
      } else {
        if (haveOptions) return std::nullopt;
        parsed.OptionsFile = args[++i];
        haveOptions = true;
      }
    } else if (arg.starts_with("--") || arg.empty() || haveReport) {
      return std::nullopt;
    } else {
      parsed.ReportFile = arg;
      haveReport = true;
    }
  }
  if (!haveOptions || !haveReport) return std::nullopt;
  return parsed;
}

std::string SentFileName(const std::string& path, bool stamped, const std::string& timeStamp) {
  std::string name = FileNameOf(path);
  if (!stamped) return name;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name + "_" + timeStamp;
  return name.substr(0, dot) + "_" + timeStamp + name.substr(dot);
}

int RunSendCommand(const std::vector<std::string>& args, const TSendEnvironment& environment,
                   std::ostream& out, std::ostream& err) {
  const std::optional<TSendArguments> parsed = ParseSendArguments(args);
  if (!parsed) {
    err << Usage << '\n';
    return 2;
  }
  const std::optional<std::string> optionsText = ReadFile(parsed->OptionsFile);
  if (!optionsText) {
    err << "DialmoorSend: cannot read the options file \"" << parsed->OptionsFile << "\"\n";
    return 2;
  }
  TOskedaStoredOptions options;
  try {
    options = ParseConfigFile(*optionsText);
  } catch (const Exception& e) {
    err << "DialmoorSend: " << parsed->OptionsFile << ": " << e.Message() << '\n';
    return 2;
  }
  std::optional<std::string> report = ReadFile(parsed->ReportFile);
  if (!report) {
    err << "DialmoorSend: cannot read the report \"" << parsed->ReportFile << "\"\n";
    return 2;
  }
  if (options.MailChannel == mcNone && options.WebChannel == wcNone) {
    err << "DialmoorSend: the options configure neither a mail nor a web channel\n";
    return 1;
  }
  if (!report->ends_with("\r\n\r\n\r\n")) *report += "\r\n\r\n\r\n";
  const TTextCopy textCopy(environment.TempFolder + FileNameOf(parsed->ReportFile), *report);

  ResetDeliveryError();
  bool delivered = true;
  if (options.MailChannel == mcSmtpClient || options.MailChannel == mcSmtpServer) {
    TSmtpMail mail;
    mail.DirectMX = options.MailChannel == mcSmtpServer;
    mail.From = options.MailSender;
    mail.SmtpHost = options.MailServer;
    mail.Attachments = Attachments(options, true, textCopy.Path(), parsed->Files);
    mail.Body = options.MailBodyText;
    if (options.ReportInMailBody) mail.Body += "\r\n\r\n\r\n" + *report;
    mail.Subject = options.MailSubject;
    mail.Recipients = options.MailRecipients;
    mail.Password = options.MailServerPassword;
    mail.UserID = options.MailServerLogin;
    mail.Port = options.MailServerPort;
    delivered = SendEmailBySMTP(mail, environment.Smtp);
  } else if (options.MailChannel == mcMailClient) {
    err << "DialmoorSend: delivery through the mail program is not available\n";
    delivered = false;
  }
  if (options.WebChannel != wcNone) {
    TWebDelivery web;
    web.Channel = options.WebChannel;
    web.UploadURL = options.UploadURL;
    web.UploadPort = options.UploadPort;
    web.UploadLogin = options.UploadLogin;
    web.UploadPassword = options.UploadPassword;
    web.Attachments = Attachments(options, false, textCopy.Path(), parsed->Files);
    const bool stamped = options.SendFlags.Contains(sfTimestampFileNames);
    const std::string stamp = stamped ? environment.TimeStamp() : std::string();
    for (const std::string& path : web.Attachments)
      web.RemoteNames.push_back(SentFileName(path, stamped, stamp));
    delivered = SendReportByWeb(web, environment.Web) && delivered;
  }
  const TDeliveryError error = LastDeliveryError();
  if (error.Code != eeNone) out << error.Text << '\n';
  return delivered ? 0 : 1;
}
