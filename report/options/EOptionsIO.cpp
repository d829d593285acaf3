#include "report/options/EOptionsIO.h"

std::string_view TextWithoutFinalLineBreak(std::string_view text) {
  const std::size_t first = text.find("\r\n");
  if (first != std::string_view::npos && first + 2 == text.size()) text.remove_suffix(2);
  return text;
}

void TOptionsWriter::Byte(std::uint8_t value) { stream_.Write(&value, 1); }

void TOptionsWriter::Word(std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                 static_cast<std::uint8_t>(value >> 8)};
  stream_.Write(bytes, sizeof bytes);
}

void TOptionsWriter::DWord(std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  stream_.Write(bytes, sizeof bytes);
}

void TOptionsWriter::Text(std::string_view text) {
  text = TextWithoutFinalLineBreak(text);
  if (text.size() > 0x7FFFFFFF) throw EWriteError("Stream write error: text too long.");
  std::string scrambled(text);
  for (char& c : scrambled) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ OptionsTextKey);
  DWord(static_cast<std::uint32_t>(scrambled.size()));
  stream_.Write(scrambled.data(), scrambled.size());
}

std::uint8_t TOptionsReader::Byte() {
  std::uint8_t value;
  stream_.ReadBuffer(&value, 1);
  return value;
}

std::uint16_t TOptionsReader::Word() {
  std::uint8_t b[2];
  stream_.ReadBuffer(b, sizeof b);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t TOptionsReader::DWord() {
  std::uint8_t b[4];
  stream_.ReadBuffer(b, sizeof b);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::string TOptionsReader::Text() {
  const std::uint64_t at = Offset();
  const std::int32_t length = Int();
  if (length < 0 || static_cast<std::uint64_t>(length) > stream_.Remaining())
    throw EOptionsStreamError(Format("Corrupt options stream: text length %d at offset %llu.",
                                     length, static_cast<unsigned long long>(at)));
  std::string text(static_cast<std::size_t>(length), '\0');
  stream_.ReadBuffer(text.data(), text.size());
  for (char& c : text) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ OptionsTextKey);
  return text;
}

void TOptionsReader::Skip(std::size_t count) {
  if (count > stream_.Remaining())
    throw EReadError(Format("Stream read error: %zu bytes to skip at offset %llu.", count,
                            static_cast<unsigned long long>(Offset())));
  stream_.SetPosition(stream_.Position() + count);
}

std::int32_t TOptionsReader::Count(std::size_t minItemSize, const char* what) {
  const std::uint64_t at = Offset();
  const std::int32_t count = Int();
  if (count < 0 || static_cast<std::uint64_t>(count) * minItemSize > stream_.Remaining())
    throw EOptionsStreamError(Format("Corrupt options stream: %s count %d at offset %llu.", what,
                                     count, static_cast<unsigned long long>(at)));
  return count;
}

std::uint8_t TOptionsReader::Enum(std::uint8_t maxValue, const char* what) {
  const std::uint64_t at = Offset();
  const std::uint8_t value = Byte();
  if (value > maxValue)
    throw EOptionsStreamError(Format("Corrupt options stream: %s value %u at offset %llu.", what,
                                     static_cast<unsigned>(value),
                                     static_cast<unsigned long long>(at)));
  return value;
}
