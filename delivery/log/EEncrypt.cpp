#include "delivery/log/EEncrypt.h"

#include <cstring>

#include "delivery/log/EMD5.h"

namespace {

constexpr std::uint32_t Delta = 0x9E3779B9;
constexpr int Rounds = 32;
constexpr std::uint32_t FinalSum = Delta * Rounds;  // 0xC6EF3720
constexpr std::uint8_t InitialVector[8] = {0x3C, 0x91, 0x07, 0xE2, 0x5D, 0xA8, 0x16, 0xB4};

std::uint32_t LoadBigEndian(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void StoreBigEndian(std::uint32_t v, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

std::uint32_t Mix(std::uint32_t v, std::uint32_t sum, std::uint32_t ka, std::uint32_t kb) {
  return (v << 4) + (v ^ ka) + ((v >> 5) ^ sum) + kb;
}

// The last len % 8 bytes of text are XORed with the encryption of the previous ciphertext
// block; the same step enciphers and deciphers.
void MaskPartialBlock(const TCipherKey& key, const std::uint8_t previous[8], std::uint8_t* bytes,
                      std::size_t count) {
  std::uint8_t mask[8];
  std::memcpy(mask, previous, 8);
  EncipherBlock(key, mask);
  for (std::size_t i = 0; i < count; ++i) bytes[i] ^= mask[i];
}

}  // namespace

TCipherKey CipherKeyFromPassword(std::string_view password) {
  const TMD5Digest digest = MD5Digest(password);
  TCipherKey key;
  for (int i = 0; i < 4; ++i) key.Words[i] = LoadBigEndian(digest.data() + 4 * i);
  return key;
}

void EncipherBlock(const TCipherKey& key, std::uint8_t block[8]) {
  const auto& k = key.Words;
  std::uint32_t l = LoadBigEndian(block), r = LoadBigEndian(block + 4), sum = 0;
  for (int i = 0; i < Rounds; ++i) {
    sum += Delta;
    l += Mix(r, sum, k[0], k[1]);
    r += Mix(l, sum, k[2], k[3]);
  }
  StoreBigEndian(l, block);
  StoreBigEndian(r, block + 4);
}

void DecipherBlock(const TCipherKey& key, std::uint8_t block[8]) {
  const auto& k = key.Words;
  std::uint32_t l = LoadBigEndian(block), r = LoadBigEndian(block + 4), sum = FinalSum;
  for (int i = 0; i < Rounds; ++i) {
    r -= Mix(l, sum, k[2], k[3]);
    l -= Mix(r, sum, k[0], k[1]);
    sum -= Delta;
  }
  StoreBigEndian(l, block);
  StoreBigEndian(r, block + 4);
}

std::string EncipherText(const TCipherKey& key, std::string_view text) {
  std::string out(text);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  std::uint8_t previous[8];
  std::memcpy(previous, InitialVector, 8);
  const std::size_t whole = out.size() / 8 * 8;
  for (std::size_t at = 0; at < whole; at += 8) {
    for (int i = 0; i < 8; ++i) bytes[at + i] ^= previous[i];
    EncipherBlock(key, bytes + at);
    std::memcpy(previous, bytes + at, 8);
  }
  MaskPartialBlock(key, previous, bytes + whole, out.size() - whole);
  return out;
}

std::string DecipherText(const TCipherKey& key, std::string_view cipherText) {
  std::string out(cipherText);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  std::uint8_t previous[8];
  std::memcpy(previous, InitialVector, 8);
  const std::size_t whole = out.size() / 8 * 8;
  for (std::size_t at = 0; at < whole; at += 8) {
    std::uint8_t cipherBlock[8];
    std::memcpy(cipherBlock, bytes + at, 8);
    DecipherBlock(key, bytes + at);
    for (int i = 0; i < 8; ++i) bytes[at + i] ^= previous[i];
    std::memcpy(previous, cipherBlock, 8);
  }
  MaskPartialBlock(key, previous, bytes + whole, out.size() - whole);
  return out;
}
