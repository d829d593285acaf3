#include "report/capture/EMemoryImage.h"

#include <algorithm>
#include <cstring>

void TMemoryImage::AddRegion(std::uint32_t base, std::vector<std::uint8_t> bytes, bool readable) {
  const std::uint64_t end = std::uint64_t{base} + bytes.size();
  if (bytes.empty() || end > (std::uint64_t{1} << 32)) return;
  for (const Region& r : regions_)
    if (base < r.End() && r.Base < end) return;
  Region region{base, std::move(bytes), readable};
  auto at = std::lower_bound(regions_.begin(), regions_.end(), region.Base,
                             [](const Region& r, std::uint64_t b) { return r.Base < b; });
  regions_.insert(at, std::move(region));
}

const TMemoryImage::Region* TMemoryImage::Find(std::uint64_t address) const {
  auto after = std::upper_bound(regions_.begin(), regions_.end(), address,
                                [](std::uint64_t a, const Region& r) { return a < r.Base; });
  if (after == regions_.begin()) return nullptr;
  const Region& r = *(after - 1);
  return address < r.End() ? &r : nullptr;
}

bool TMemoryImage::Poke(std::uint32_t address, const void* data, std::uint32_t size) {
  const Region* r = Find(address);
  if (!r || address + std::uint64_t{size} > r->End()) return false;
  std::memcpy(const_cast<Region*>(r)->Bytes.data() + (address - r->Base), data, size);
  return true;
}

bool TMemoryImage::PokeU32(std::uint32_t address, std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return Poke(address, bytes, 4);
}

std::uint32_t TMemoryImage::ReadableSpan(std::uint32_t address, std::uint32_t limit) const {
  std::uint64_t at = address;
  const std::uint64_t want = at + limit;
  // Adjacent readable regions form one readable span, as neighbouring pages do.
  while (at < want) {
    const Region* r = Find(at);
    if (!r || !r->Readable) break;
    at = r->End();
  }
  return static_cast<std::uint32_t>(std::min(at, want) - address);
}

bool TMemoryImage::Read(std::uint32_t address, void* dest, std::uint32_t size) const {
  if (ReadableSpan(address, size) < size) return false;
  auto* out = static_cast<std::uint8_t*>(dest);
  std::uint64_t at = address;
  while (size > 0) {
    const Region* r = Find(at);
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(size, r->End() - at));
    std::memcpy(out, r->Bytes.data() + (at - r->Base), n);
    out += n;
    at += n;
    size -= n;
  }
  return true;
}
