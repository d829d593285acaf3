#include "delivery/mail/EDnsPacket.h"

#include <cstdint>

namespace {

constexpr std::size_t HeaderSize = 12;
constexpr std::size_t MaxNameLength = 255;
constexpr std::uint16_t TypeMX = 15;

std::uint16_t U16(std::string_view data, std::size_t at) {
  return static_cast<std::uint16_t>((static_cast<unsigned char>(data[at]) << 8) |
                                    static_cast<unsigned char>(data[at + 1]));
}

}  // namespace

std::string BuildMXQuery(std::string_view domain) {
  std::string query("AA\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", HeaderSize);
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = domain.find('.', start);
    const std::string_view label =
        domain.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    query += static_cast<char>(label.size() & 0xFF);
    query += label;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  query.append("\x00\x00\x0F\x00\x01", 5);
  return query;
}

bool ReadDnsName(std::string_view data, std::size_t& pos, std::string& name) {
  name.clear();
  std::size_t at = pos;
  std::size_t after = 0;
  bool jumped = false;
  // Every pointer must lead strictly backwards, so no chain of pointers can loop.
  std::size_t limit = pos;
  std::string result;
  while (true) {
    if (at >= data.size()) return false;
    const unsigned char b = static_cast<unsigned char>(data[at]);
    if (b >= 0xC0) {
      if (at + 1 >= data.size()) return false;
      const std::size_t target = (static_cast<std::size_t>(b & 0x3F) << 8) |
                                 static_cast<unsigned char>(data[at + 1]);
      if (target >= limit) return false;
      if (!jumped) after = at + 2;
      jumped = true;
      limit = target;
      at = target;
      continue;
    }
    if (b > 63) return false;
    if (b == 0) break;
    if (at + 1 + b > data.size()) return false;
    result.append(data.substr(at + 1, b));
    result += '.';
    if (result.size() > MaxNameLength + 1) return false;
    at += 1 + b;
  }
  if (!result.empty()) result.pop_back();
  name = std::move(result);
  pos = jumped ? after : at + 1;
  return true;
}

bool ParseMXReply(std::string_view data, std::string& host) {
  host.clear();
  if (data.size() < HeaderSize || U16(data, 6) == 0) return false;
  std::size_t pos = HeaderSize;
  std::string name;
  if (!ReadDnsName(data, pos, name)) return false;
  pos += 4;  // question type and class
  if (!ReadDnsName(data, pos, name)) return false;  // the answer's owner
  // Type, class, time to live, data length, preference.
  if (pos + 12 > data.size() || U16(data, pos) != TypeMX) return false;
  const std::size_t length = U16(data, pos + 8);
  const std::size_t end = pos + 10 + length;
  if (length < 3 || end > data.size()) return false;
  std::size_t exchange = pos + 12;
  if (!ReadDnsName(data.substr(0, end), exchange, name) || name.empty()) return false;
  host = std::move(name);
  return true;
}
