#include "platform/StrConvert.h"

#include <cstdint>

#include "platform/SysUtils.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// All 32 bits, as a colour or a flag set is written in hexadecimal.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0 || value > 0x0FFFFFFFu) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  if (!text.empty() && text.front() == '$') return ParseHex(text.substr(1));
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2));
  return ParseDecimal(text);
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue) {
  return TryStrToInt(text).value_or(defaultValue);
}

std::int32_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text)) return *value;
  throw EConvertError(
      Format("'%.*s' is not a valid integer value", static_cast<int>(text.size()), text.data()));
}

std::string IntToStr(std::int32_t value) { return std::to_string(value); }

bool IsSystemColor(std::int32_t color) { return color < 0; }

int SystemColorIndex(std::int32_t color) { return static_cast<int>(color & 0xFF); }

std::int32_t ColorToRGBValue(std::int32_t color, const SystemColorLookup& lookup) {
  const std::uint32_t rgb =
      IsSystemColor(color) ? lookup(SystemColorIndex(color)) : static_cast<std::uint32_t>(color);
  return static_cast<std::int32_t>(rgb & 0x00FFFFFFu);
}
