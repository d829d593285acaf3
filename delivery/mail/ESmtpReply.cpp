#include "delivery/mail/ESmtpReply.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::uint32_t> SmtpReplyCode(std::string_view reply) {
  std::uint64_t value = 0;
  std::size_t i = 0;
  for (; i < reply.size() && IsDigit(reply[i]); ++i) {
    value = value * 10 + static_cast<std::uint64_t>(reply[i] - '0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (i == 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

bool SmtpReplyMatches(std::string_view reply, std::initializer_list<std::uint16_t> codes) {
  const std::optional<std::uint32_t> code = SmtpReplyCode(reply);
  if (!code) return false;
  for (const std::uint16_t c : codes)
    if (*code == c) return true;
  return false;
}

bool EndsWithFinalReplyLine(std::string_view received) {
  if (received.empty() || received.back() != '\n') return false;
  std::string_view line = received.substr(0, received.size() - 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t previous = line.find_last_of('\n');
  if (previous != std::string_view::npos) line.remove_prefix(previous + 1);
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return false;
  return line.size() == 3 || line[3] == ' ';
}
