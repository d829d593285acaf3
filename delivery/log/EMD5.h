// The MD5 message digest (RFC 1321): the key of the enciphered names is the digest of the
// password.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using TMD5Digest = std::array<std::uint8_t, 16>;

class TMD5 {
 public:
  TMD5();
  void Update(const void* data, std::size_t size);
  void Update(std::string_view text) { Update(text.data(), text.size()); }
  // The digest of everything given so far; the object is spent afterwards.
  TMD5Digest Final();

 private:
  void Transform(const std::uint8_t* block);

  std::uint32_t state_[4];
  std::uint64_t length_ = 0;  // bytes
  std::uint8_t buffer_[64];
};

TMD5Digest MD5Digest(std::string_view text);
// The digest as 32 lower-case hexadecimal digits.
std::string MD5Hex(const TMD5Digest& digest);
