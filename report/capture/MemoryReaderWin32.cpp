#include "report/capture/MemoryReaderWin32.h"

#include <windows.h>

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

bool TProcessMemoryReader::Cached(std::uint32_t address, std::uint32_t& end) const {
  for (const Region& r : cache_)
    if (r.End != 0 && address >= r.Base && address < r.End) {
      end = r.End;
      return true;
    }
  return false;
}

std::uint32_t TProcessMemoryReader::ReadableSpan(std::uint32_t address,
                                                 std::uint32_t limit) const {
  const std::uint64_t want = std::uint64_t{address} + limit;
  std::uint64_t at = address;
  while (at < want && at <= 0xFFFFFFFFu) {
    std::uint32_t end;
    if (!Cached(static_cast<std::uint32_t>(at), end)) {
      MEMORY_BASIC_INFORMATION info;
      if (VirtualQuery(reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(at)), &info,
                       sizeof info) != sizeof info ||
          !IsReadableRegion(info))
        break;
      const std::uint64_t base = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
      const std::uint64_t regionEnd = std::min<std::uint64_t>(base + info.RegionSize, 0xFFFFFFFFu);
      if (regionEnd <= at) break;
      cache_[next_] = {static_cast<std::uint32_t>(base), static_cast<std::uint32_t>(regionEnd)};
      next_ = (next_ + 1) % CacheSize;
      end = static_cast<std::uint32_t>(regionEnd);
    }
    at = end;
  }
  return static_cast<std::uint32_t>(std::min(at, want) - address);
}

bool TProcessMemoryReader::Read(std::uint32_t address, void* dest, std::uint32_t size) const {
  if (ReadableSpan(address, size) < size) return false;
  std::memcpy(dest, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)), size);
  return true;
}
