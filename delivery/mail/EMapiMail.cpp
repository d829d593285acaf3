#include "delivery/mail/EMapiMail.h"

#include "delivery/mail/EMailText.h"

namespace {

std::string CutToMapiBuffer(std::string text) {
  if (text.size() > MapiTextBufferSize - 1) text.resize(MapiTextBufferSize - 1);
  return text;
}

std::string NameOfPath(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TMapiMail BuildMapiMail(const TMailProgramMessage& message, bool showSendDialog,
                        const TExistingFileResolver& existingFile) {
  TMapiMail mail;
  mail.Subject = StripControlChars(message.Subject);
  mail.NoteText = message.Body;
  mail.SendFlags = showSendDialog ? (MapiLogonUi | MapiShowDialog) : MapiLogonUi;
  for (const std::string& address : SplitAddressList(message.Recipients))
    mail.Recipients.push_back({CutToMapiBuffer(address), CutToMapiBuffer("SMTP:" + address)});
  for (std::size_t i = 0; i < message.Files.size(); ++i) {
    if (message.Files[i].empty()) continue;
    const std::optional<std::string> path = existingFile(message.Files[i]);
    if (!path) continue;
    const bool named = i < message.FileNames.size() && !message.FileNames[i].empty();
    mail.Files.push_back({*path, named ? message.FileNames[i] : NameOfPath(*path)});
  }
  return mail;
}
