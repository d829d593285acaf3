// What the delivery of one report needs: the report itself (TSendJob) and the machine's side
// (TSendServices: files, clipboard, message box, the channels). The delivery logic only reaches
// the machine through these, so that it runs against fakes in the host tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/mail/EMimeMessage.h"
#include "delivery/mail/ESendStatus.h"
#include "delivery/mail/ESmtpSend.h"
#include "delivery/mail/EMailProgram.h"
#include "delivery/web/EWebSend.h"
#include "platform/DateTime.h"

class IReportEvents;
class TOskedaModuleOptions;
struct TScreenshotPixels;


// One report to deliver. Everything it points at lives at least as long as the delivery.
struct TSendJob {
  const TOskedaModuleOptions* Options = nullptr;
  IReportEvents* Events = nullptr;
  std::string Text;           // the current report, as it goes to the clipboard
  std::string TextToDeliver;  // the report, or the whole log with sfSendWholeLog
  TDateTime ReportTime = 0;
  std::string LastHtmlPage;  // empty when no page was made for this error
  const TScreenshotPixels* Screenshot = nullptr;  // null when none was taken
};

// Message-box flags of the outcome message: task-modal, top-most, on the default desktop,
// with the information or the error icon.
inline constexpr std::uint32_t SendResultSuccessFlags = 0x242040;
inline constexpr std::uint32_t SendResultFailureFlags = 0x242010;

struct TSendServices {
  std::string TempFolder;   // the system's temporary folder, ending with its separator
  bool CgiProgram = false;  // a CGI program serves its last page itself: that file stays

  // Creates or replaces a file; false when it could not be written.
  std::function<bool(const std::string& path, std::string_view content)> WriteFile;
  std::function<bool(const std::string& path)> FileExists;
  // True when the file is gone afterwards.
  std::function<bool(const std::string& path)> RemoveFile;
  // Fails (false) when the target exists already.
  std::function<bool(const std::string& from, const std::string& to)> RenameFile;
  // The names (no folder) of the files in a folder.
  std::function<std::vector<std::string>(const std::string& folder)> ListFolder;
  // Packs files into one tar.gz archive; raises on file errors.
  std::function<void(const std::string& archive, const std::vector<std::string>& files,
                     const std::function<std::string(const std::string&)>& entryName)>
      Pack;
  std::function<bool(const TScreenshotPixels& picture, const std::string& path)> SaveScreenshot;
  // The XML copy of the log, made from the temporary text copy; raises on stream errors.
  std::function<void(const std::string& textCopy, std::string_view report,
                     const std::string& xmlFile)>
      WriteXmlCopy;

  // Puts plain text on the clipboard, which owns it from then on.
  std::function<void(const std::string& text)> CopyToClipboard;
  std::function<void(const std::string& caption, const std::string& text, std::uint32_t flags)>
      ShowMessage;

  // Shows the send-progress dialog when the options and the program allow it, and gives what
  // the senders report to.
  std::function<ISendStatus&()> StartSendDialog;
  // SMTP, attachments read through files (which maps the names they are sent under).
  std::function<bool(const TSmtpMail& mail, IMailFileSource& files, ISendStatus& status)> SendSmtp;
  // The mail program: the mail client's library first, then its mailto command.
  std::function<bool(const TMailProgramMessage& message)> SendByMAPI;
  // The mailto route carries the report text in the address, not as a file.
  std::function<bool(const TMailProgramMessage& message, std::string_view reportText)> SendByShell;
  std::function<bool(const TWebDelivery& delivery, ISendStatus& status)> SendWeb;
  IMailFileSource* MailFiles = nullptr;
};
