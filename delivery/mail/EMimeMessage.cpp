#include "delivery/mail/EMimeMessage.h"

#include <algorithm>
#include <cctype>

#include "delivery/mail/EBase64.h"
#include "delivery/mail/EMailText.h"

namespace {

constexpr std::size_t Base64LineLength = 80;
constexpr std::string_view MessageIdDomain = "dialmoor.invalid";

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasPngExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || name.size() - dot != 4) return false;
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".PNG";
}

std::string Base64Lines(std::string_view content) {
  const std::string encoded = Base64Encode(content);
  std::string out;
  out.reserve(encoded.size() + encoded.size() / Base64LineLength * 2);
  for (std::size_t at = 0; at < encoded.size(); at += Base64LineLength) {
    const std::size_t n = std::min(Base64LineLength, encoded.size() - at);
    out.append(encoded, at, n);
    if (n == Base64LineLength) out += "\r\n";
  }
  return out;
}

}  // namespace

std::string EncodeFileBase64Lines(IMailFileSource& files, const std::string& fileName) {
  const std::optional<std::string> content = files.ReadWholeFile(fileName);
  return content ? Base64Lines(*content) : std::string();
}

std::string BuildAttachmentPart(IMailFileSource& files, const std::string& fileName) {
  if (TrimText(fileName).empty()) return {};
  const std::optional<std::string> content = files.ReadWholeFile(fileName);
  if (!content) return {};
  const std::string name = FileNameOf(fileName);
  const char* type = HasPngExtension(name) ? "image/png" : "application/octet-stream";
  std::string part;
  part += "\r\n--";
  part += MimeBoundary;
  part += "\r\nContent-Type: ";
  part += type;
  part += ";\r\n        name=\"" + name + "\"\r\n";
  part += "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n";
  part += "        filename=\"" + name + "\"\r\n\r\n";
  part += Base64Lines(*content);
  part += "\r\n";
  return part;
}

std::string BuildAttachmentParts(IMailFileSource& files, const std::vector<std::string>& attachments,
                                 const std::vector<std::string>& extraFiles) {
  std::string parts;
  for (const std::string& file : attachments) parts += BuildAttachmentPart(files, file);
  for (const std::string& file : extraFiles) parts += BuildAttachmentPart(files, file);
  return parts;
}

std::string BuildMimeBody(std::string_view messageText, std::string_view attachmentParts) {
  std::string body = "This is a multi-part message in MIME format\r\n\r\n--";
  body += MimeBoundary;
  body += "\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
  body += messageText;
  body += "\r\n";
  body += attachmentParts;
  body += "--";
  body += MimeBoundary;
  body += "--\r\n";
  return body;
}

std::string DoubleLeadingFullStops(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  bool lineStart = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lineStart && text[i] == '.') out += '.';
    out += text[i];
    lineStart = text[i] == '\n' && i > 0 && text[i - 1] == '\r';
  }
  return out;
}

std::string BuildMailMessageText(const TMailHeaders& headers, std::string_view mimeBody) {
  std::string text;
  text += "Date: " + headers.Date + "\r\n";
  text += "From: <" + StripControlChars(headers.Sender) + ">\r\n";
  text += "Subject: " + StripControlChars(headers.Subject) + "\r\n";
  text += "To: <" + StripControlChars(headers.Recipient) + ">\r\n";
  text += "Content-Type: multipart/mixed; boundary=\"";
  text += MimeBoundary;
  text += "\";\r\nMIME-Version: 1.0\r\n";
  text += "Message-ID: <" + std::to_string(headers.TickCount) + "@";
  text += MessageIdDomain;
  text += ">\r\n\r\n";
  text += DoubleLeadingFullStops(mimeBody);
  text += ".";
  return text;
}
