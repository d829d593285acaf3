// The cipher of the enciphered names: a 64-bit block cipher of 32 rounds keyed by the MD5
// digest of a password, used in cipher-block chaining with a fixed initial vector. A final
// block shorter than 8 bytes is XORed with the encryption of the previous ciphertext block,
// so the ciphertext is exactly as long as the text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct TCipherKey {
  std::array<std::uint32_t, 4> Words{};  // k0..k3
};

// The digest of the password read as four big-endian words.
TCipherKey CipherKeyFromPassword(std::string_view password);

// One 8-byte block in place: the two halves are read and written big-endian.
void EncipherBlock(const TCipherKey& key, std::uint8_t block[8]);
void DecipherBlock(const TCipherKey& key, std::uint8_t block[8]);

std::string EncipherText(const TCipherKey& key, std::string_view text);
std::string DecipherText(const TCipherKey& key, std::string_view cipherText);
