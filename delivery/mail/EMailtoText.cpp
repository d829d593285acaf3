#include "delivery/mail/EMailtoText.h"

namespace {

bool KeptInMailto(unsigned char c) {
  return c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         c >= 128;
}

}  // namespace

std::string URLEncodeMailText(std::string_view text) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (KeptInMailto(c)) {
      encoded += ch;
    } else {
      encoded += '%';
      encoded += Hex[c >> 4];
      encoded += Hex[c & 15];
    }
  }
  return encoded;
}

std::string MailtoAddress(std::string_view recipients, std::string_view subject,
                          std::string_view body, std::string_view reportText) {
  std::string fullBody(body);
  fullBody += "\r\n\r\n\r\n";
  fullBody += reportText;
  std::string address = "mailto:";
  address += recipients;
  address += "?Subject=";
  address += URLEncodeMailText(subject);
  address += "&Body=";
  address += URLEncodeMailText(fullBody);
  return address;
}

std::string MailtoCommandLine(std::string_view commandTemplate, std::string_view address) {
  std::string command;
  for (std::size_t i = 0; i < commandTemplate.size();) {
    if (commandTemplate.compare(i, 2, "%1") == 0) {
      command += address;
      i += 2;
    } else {
      command += commandTemplate[i++];
    }
  }
  return command;
}
