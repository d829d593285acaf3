// Reading another part of the process's memory without trusting it: the stack scan and the
// processor block's dump read through this, so they run over canned images on the host and over
// the live process on Windows.
#pragma once

#include <cstdint>

class TMemoryReader {
 public:
  virtual ~TMemoryReader() = default;
  // How many bytes from address on are readable (committed with a readable protection), at
  // most limit; 0 when the byte at address is not. Never faults.
  virtual std::uint32_t ReadableSpan(std::uint32_t address, std::uint32_t limit) const = 0;
  // Copies size bytes; false when any of them cannot be read (dest is then undefined).
  // Never faults.
  virtual bool Read(std::uint32_t address, void* dest, std::uint32_t size) const = 0;

  bool IsReadable(std::uint32_t address, std::uint32_t size) const {
    return size == 0 || ReadableSpan(address, size) >= size;
  }
  bool ReadU32(std::uint32_t address, std::uint32_t& value) const;
};
