// The memory of the running process, read only where the memory manager says it is committed
// and readable, so a stray stack value never faults the reporter.
#pragma once

#include <cstdint>

#include "report/capture/EMemoryReader.h"

class TProcessMemoryReader : public TMemoryReader {
 public:
  std::uint32_t ReadableSpan(std::uint32_t address, std::uint32_t limit) const override;
  bool Read(std::uint32_t address, void* dest, std::uint32_t size) const override;

 private:
  // The scan asks about the same few regions (its stack and the modules' code) again and
  // again; the last readable regions found are kept. Memory does not change its protection
  // while the report is made: the other threads are suspended.
  struct Region {
    std::uint32_t Base = 0;
    std::uint32_t End = 0;  // exclusive; 0 for an empty slot
  };
  static constexpr int CacheSize = 8;
  bool Cached(std::uint32_t address, std::uint32_t& end) const;
  mutable Region cache_[CacheSize];
  mutable int next_ = 0;
};
