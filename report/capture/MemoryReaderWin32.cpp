#include "report/capture/MemoryReaderWin32.h"

#include "platform/win/WinApi.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsReadableRegion(const MEMORY_BASIC_INFORMATION& info) {
  if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
  constexpr DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                             PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return (info.Protect & readable) != 0;
}

}  // namespace

const TProcessMemoryReader::Region& TProcessMemoryReader::Lookup(std::uint64_t address) const {
  for (const Region& r : cache_)
    if (address >= r.Base && address < r.End) return r;
  Region& slot = cache_[next_];
  next_ = (next_ + 1) % CacheSize;
  // Above the highest application address nothing is readable, and the query fails there
  // without telling how far; half of all random stack values land there.
  static const std::uint64_t highest = [] {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return static_cast<std::uint64_t>(
        reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress));
  }();
  if (address > highest) {
    slot = {highest + 1, std::uint64_t{1} << 32, false};
    return slot;
  }
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), &info,
                   sizeof info) != sizeof info) {
    // Outside the user address range; only this page is known to be unreadable.
    const std::uint64_t page = address & ~std::uint64_t{0xFFF};
    slot = {page, page + 0x1000, false};
    return slot;
  }
  const std::uint64_t base = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
  slot = {base, std::max(base + info.RegionSize, address + 1), IsReadableRegion(info)};
  return slot;
}

std::uint32_t TProcessMemoryReader::ReadableSpan(std::uint32_t address, std::uint32_t limit) const {
  const std::uint64_t want = std::uint64_t{address} + limit;
  std::uint64_t at = address;
  while (at < want) {
    const Region& region = Lookup(at);
    if (!region.Readable) break;
    at = region.End;
  }
  return static_cast<std::uint32_t>(std::min(at, want) - address);
}

bool TProcessMemoryReader::Read(std::uint32_t address, void* dest, std::uint32_t size) const {
  if (ReadableSpan(address, size) < size) return false;
  std::memcpy(dest, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)), size);
  return true;
}
