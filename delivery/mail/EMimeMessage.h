// The report mail as sent after DATA: headers, the multipart body with the message text and
// every attachment in Base64, and the closing full stop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view MimeBoundary = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";

// Where attachments are read from: the whole file, or nothing when it does not exist or
// cannot be read.
class IMailFileSource {
 public:
  virtual ~IMailFileSource() = default;
  virtual std::optional<std::string> ReadWholeFile(const std::string& path) = 0;
};

// The platform's files.
IMailFileSource& PlatformMailFiles();

// Base64 of the file cut into lines of 80 characters, each full line ended by CRLF (so a text
// of an exact multiple of 80 ends with CRLF, a final partial line has none); empty when the
// file cannot be read.
std::string EncodeFileBase64Lines(IMailFileSource& files, const std::string& fileName);

// One attachment part, starting with CRLF and the boundary line; empty for a blank name or a
// file that cannot be read. ".png" in any case is sent as image/png.
std::string BuildAttachmentPart(IMailFileSource& files, const std::string& fileName);

// The parts of the attachments, then of the extra files, in that order.
std::string BuildAttachmentParts(IMailFileSource& files, const std::vector<std::string>& attachments,
                                 const std::vector<std::string>& extraFiles);

// The multipart body: the preamble, the plain-text part holding `messageText` unchanged, the
// attachment parts and the closing boundary line.
std::string BuildMimeBody(std::string_view messageText, std::string_view attachmentParts);

// The message text with the SMTP rule for lines that begin with a full stop applied: such a
// line gets a second one, which the server removes again. Without it a line that is a lone
// "." would end the message early and a leading "." of any other line would be lost.
std::string DoubleLeadingFullStops(std::string_view text);

struct TMailHeaders {
  std::string Date;       // FormatMailDate of the sending time
  std::string Sender;
  std::string Subject;
  std::string Recipient;
  std::uint32_t TickCount = 0;  // makes the Message-ID
};

// Headers, blank line, the body with leading full stops doubled, and the closing "." without
// its line end (the command sender adds CRLF).
std::string BuildMailMessageText(const TMailHeaders& headers, std::string_view mimeBody);
