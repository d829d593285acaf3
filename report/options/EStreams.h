// Byte streams in the runtime's way: a position that reads and writes advance, and a memory
// stream that grows as it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/SysUtils.h"

DM_DECLARE_EXCEPTION(EStreamError, Exception)
DM_DECLARE_EXCEPTION(EReadError, EStreamError)
DM_DECLARE_EXCEPTION(EWriteError, EStreamError)
// A file that exists but cannot be opened, and one that cannot be created.
DM_DECLARE_EXCEPTION(EFOpenError, EStreamError)
DM_DECLARE_EXCEPTION(EFCreateError, EStreamError)

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Reads up to count bytes; returns how many were read (fewer only at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes all count bytes or raises EWriteError.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void SetPosition(std::uint64_t position) = 0;
  virtual std::uint64_t Size() const = 0;

  // Bytes between the position and the end (0 when the position lies past the end).
  std::uint64_t Remaining() const;
  // Reads exactly count bytes or raises EReadError, leaving the position unchanged then.
  void ReadBuffer(void* buffer, std::size_t count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::span<const std::uint8_t> bytes);

  std::size_t Read(void* buffer, std::size_t count) override;
  // Writing past the end fills the gap with zero bytes.
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override { return position_; }
  void SetPosition(std::uint64_t position) override { position_ = position; }
  std::uint64_t Size() const override { return bytes_.size(); }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  void Clear();

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};
