#include "report/options/EStreams.h"

#include <cstring>
#include <limits>

std::uint64_t TStream::Remaining() const {
  const std::uint64_t size = Size();
  const std::uint64_t position = Position();
  return position < size ? size - position : 0;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count > Remaining())
    throw EReadError(Format("Stream read error: %zu bytes wanted at offset %llu, %llu left.", count,
                            static_cast<unsigned long long>(Position()),
                            static_cast<unsigned long long>(Remaining())));
  if (Read(buffer, count) != count) throw EReadError("Stream read error.");
}

TMemoryStream::TMemoryStream(std::span<const std::uint8_t> bytes)
    : bytes_(bytes.begin(), bytes.end()) {}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::uint64_t available = Remaining();
  const std::size_t n = count < available ? count : static_cast<std::size_t>(available);
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  if (position_ > std::numeric_limits<std::size_t>::max() - count)
    throw EWriteError("Stream write error: the memory stream cannot grow that far.");
  const std::size_t end = static_cast<std::size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ = end;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}
