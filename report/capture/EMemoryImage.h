// A memory reader over byte buffers placed at chosen addresses: canned stacks and code for the
// tests, the fuzzer and the host benchmark, and any copy of memory taken earlier.
#pragma once

#include <cstdint>
#include <vector>

#include "report/capture/EMemoryReader.h"

class TMemoryImage : public TMemoryReader {
 public:
  // Regions must not overlap; a later one that does is ignored. Bytes of a region marked
  // unreadable are there but cannot be read (a guard or no-access page).
  void AddRegion(std::uint32_t base, std::vector<std::uint8_t> bytes, bool readable = true);
  // Writes into an existing region; false when [address, address + size) is not inside one.
  bool Poke(std::uint32_t address, const void* data, std::uint32_t size);
  bool PokeU32(std::uint32_t address, std::uint32_t value);

  std::uint32_t ReadableSpan(std::uint32_t address, std::uint32_t limit) const override;
  bool Read(std::uint32_t address, void* dest, std::uint32_t size) const override;

 private:
  struct Region {
    std::uint64_t Base;
    std::vector<std::uint8_t> Bytes;
    bool Readable;
    std::uint64_t End() const { return Base + Bytes.size(); }
  };
  const Region* Find(std::uint64_t address) const;
  std::vector<Region> regions_;  // sorted by base
};
