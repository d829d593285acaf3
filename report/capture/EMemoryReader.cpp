#include "report/capture/EMemoryReader.h"

#include <cstring>

bool TMemoryReader::ReadU32(std::uint32_t address, std::uint32_t& value) const {
  unsigned char bytes[4];
  if (!Read(address, bytes, 4)) return false;
  value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
          std::uint32_t{bytes[3]} << 24;
  return true;
}
