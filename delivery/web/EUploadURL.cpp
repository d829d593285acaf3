#include "delivery/web/EUploadURL.h"

#include <cctype>
#include <optional>

namespace {

bool IsNamePart(std::string_view text) {
  for (const char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') return false;
  return true;
}

// Removes the text up to `separator` into `part` when the rule allows it.
void SplitOff(std::string& rest, std::string_view separator, std::string& part) {
  const std::size_t at = rest.find(separator);
  if (at == std::string::npos || !IsNamePart(std::string_view(rest).substr(0, at))) return;
  part = rest.substr(0, at);
  rest.erase(0, at + separator.size());
}

// The port of a ":digits" suffix of text[0, end), removed from the text; nothing when there is
// no such suffix, and false through `valid` when the digits are no port number.
std::optional<std::uint16_t> TakePortSuffix(std::string& text, std::size_t end, bool& valid) {
  std::size_t digits = end;
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) --digits;
  if (digits == end || digits == 0 || text[digits - 1] != ':') return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = digits; i < end; ++i) {
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (value > 65535) {
      valid = false;
      return std::nullopt;
    }
  }
  text.erase(digits - 1, end - digits + 1);
  return static_cast<std::uint16_t>(value);
}

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace

bool ParseUploadURL(std::string_view url, TUploadTarget& target) {
  target = TUploadTarget{};
  std::string rest = Trim(url);
  if (!rest.empty() && rest.back() != '/') rest += '/';
  bool valid = true;
  std::optional<std::uint16_t> port;
  if (!rest.empty()) port = TakePortSuffix(rest, rest.size() - 1, valid);
  if (!valid) return false;
  // "host:8080/upload.php": a port after the host, with a path after it, would otherwise be
  // taken for a user name and make the port the host.
  if (!port) {
    const std::size_t scheme = rest.find("://");
    const std::size_t authority = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t slash = rest.find('/', authority);
    if (slash != std::string::npos) port = TakePortSuffix(rest, slash, valid);
    if (!valid) return false;
  }
  target.Port = port.value_or(0);
  SplitOff(rest, "://", target.Scheme);
  SplitOff(rest, ":", target.User);
  SplitOff(rest, "@", target.Password);
  SplitOff(rest, "/", target.Host);
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  target.Path = std::move(rest);
  return true;
}
