// The primitive items of the options stream: little-endian integers, one-byte Booleans and
// scrambled texts with a 32-bit length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/options/EStreams.h"

// Content that no writer produces: a negative or oversized length, an enumeration value out
// of range, an unknown stored version.
DM_DECLARE_EXCEPTION(EOptionsStreamError, EReadError)

// Every byte of a stored text is combined with this key by exclusive-or.
constexpr std::uint8_t OptionsTextKey = 0xA7;

// The text as it is stored: when its first CR LF is its last two characters, those go.
std::string_view TextWithoutFinalLineBreak(std::string_view text);

class TOptionsWriter {
 public:
  explicit TOptionsWriter(TStream& stream) : stream_(stream) {}

  void Byte(std::uint8_t value);
  void Bool(bool value) { Byte(value ? 1 : 0); }
  void Word(std::uint16_t value);
  void DWord(std::uint32_t value);
  void Int(std::int32_t value) { DWord(static_cast<std::uint32_t>(value)); }
  void Text(std::string_view text);

 private:
  TStream& stream_;
};

// Every read raises EReadError when the stream ends first, so a truncated stream never yields
// a half-read value; lengths are checked against what is left before anything is allocated.
class TOptionsReader {
 public:
  explicit TOptionsReader(TStream& stream) : stream_(stream) {}

  std::uint8_t Byte();
  bool Bool() { return Byte() != 0; }
  std::uint16_t Word();
  std::uint32_t DWord();
  std::int32_t Int() { return static_cast<std::int32_t>(DWord()); }
  std::string Text();
  void Skip(std::size_t count);
  // A count of items that each take at least minItemSize bytes; EOptionsStreamError when it is
  // negative or more than the rest of the stream could hold.
  std::int32_t Count(std::size_t minItemSize, const char* what);
  // A byte that must lie in 0..maxValue.
  std::uint8_t Enum(std::uint8_t maxValue, const char* what);
  std::uint64_t Offset() const { return stream_.Position(); }

 private:
  TStream& stream_;
};
