#include "delivery/mail/EBase64.h"

#include <array>
#include <cstdint>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> DecodeTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::int8_t>(i);
  return table;
}
constexpr auto Values = DecodeTable();

}  // namespace

std::string Base64Encode(const void* data, std::size_t length) {
  const auto* in = static_cast<const unsigned char*>(data);
  std::string out;
  out.reserve((length + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out += Alphabet[v >> 18];
    out += Alphabet[(v >> 12) & 63];
    out += Alphabet[(v >> 6) & 63];
    out += Alphabet[v & 63];
  }
  if (i < length) {
    const bool two = i + 1 < length;
    const std::uint32_t v = (in[i] << 16) | (two ? in[i + 1] << 8 : 0);
    out += Alphabet[v >> 18];
    out += Alphabet[(v >> 12) & 63];
    out += two ? Alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Encode(std::string_view data) { return Base64Encode(data.data(), data.size()); }

std::string Base64Decode(const void* data, std::size_t length) {
  if (length % 4 != 0) return {};
  const auto* in = static_cast<const unsigned char*>(data);
  std::size_t padding = 0;
  while (padding < 2 && padding < length && in[length - 1 - padding] == '=') ++padding;
  const std::size_t outLength = length / 4 * 3 - padding;
  std::string out(outLength, '.');
  for (std::size_t group = 0; group < length; group += 4) {
    const bool last = group + 4 == length;
    std::uint32_t v = 0;
    bool valid = true;
    for (std::size_t k = 0; k < 4; ++k) {
      const unsigned char c = in[group + k];
      const bool pad = last && c == '=' && k >= 4 - padding;
      const int digit = pad ? 0 : Values[c];
      if (digit < 0) valid = false;
      v = (v << 6) | static_cast<std::uint32_t>(digit < 0 ? 0 : digit);
    }
    if (!valid) continue;
    const std::size_t at = group / 4 * 3;
    for (std::size_t k = 0; k < 3 && at + k < outLength; ++k)
      out[at + k] = static_cast<char>((v >> (16 - 8 * k)) & 0xFF);
  }
  return out;
}

std::string Base64Decode(std::string_view text) { return Base64Decode(text.data(), text.size()); }
