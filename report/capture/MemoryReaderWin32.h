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
  // The scan asks about the same few regions (its stack, the modules' code and the large free
  // ranges between them) again and again; the last regions found are kept, readable or not.
  // Memory does not change its protection while the report is made: the other threads are
  // suspended.
  struct Region {
    std::uint64_t Base = 0;
    std::uint64_t End = 0;  // exclusive; 0 for an empty slot
    bool Readable = false;
  };
  static constexpr int CacheSize = 16;
  const Region& Lookup(std::uint64_t address) const;
  mutable Region cache_[CacheSize];
  mutable int next_ = 0;
};
