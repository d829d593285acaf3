#include <windows.h>

#include <cstring>

#include "report/hook/EHookRegistryWin32.h"

bool WriteMem(void* dest, const void* source, std::size_t count) {
  DWORD previous = 0;
  if (!::VirtualProtect(dest, count, PAGE_EXECUTE_READWRITE, &previous)) return false;
  std::memcpy(dest, source, count);
  DWORD ignored = 0;
  ::VirtualProtect(dest, count, previous, &ignored);
  ::FlushInstructionCache(::GetCurrentProcess(), dest, count);
  return true;
}

bool JumpToMem(void* at, const void* target) {
  const auto jump =
      MakeRelativeJump(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(at)),
                       static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(target)));
  return WriteMem(at, jump.data(), jump.size());
}

std::size_t TProcessMemory::Readable(const void* address, std::size_t limit) {
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  std::size_t readable = 0;
  auto at = static_cast<const std::uint8_t*>(address);
  while (readable < limit) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(at + readable, &info, sizeof info) == 0) break;
    if (info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) || !(info.Protect & kReadable))
      break;
    const auto regionEnd = static_cast<const std::uint8_t*>(info.BaseAddress) + info.RegionSize;
    readable = static_cast<std::size_t>(regionEnd - at);
  }
  return readable < limit ? readable : limit;
}

bool TProcessMemory::Read(std::uint32_t address, std::span<std::uint8_t> out) const {
  const void* from = reinterpret_cast<const void*>(static_cast<UINT_PTR>(address));
  if (Readable(from, out.size()) < out.size()) return false;
  std::memcpy(out.data(), from, out.size());
  return true;
}

std::uint8_t* TTrampolinePool::Allocate() {
  if (free_.empty()) {
    constexpr std::size_t kBlockSize = 64 * 1024;
    void* block = ::VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READ);
    if (!block) return nullptr;
    blocks_.push_back(block);
    auto* bytes = static_cast<std::uint8_t*>(block);
    for (std::size_t at = kBlockSize; at >= kMaxTrampolineSize; at -= kMaxTrampolineSize)
      free_.push_back(bytes + at - kMaxTrampolineSize);
  }
  std::uint8_t* slot = free_.back();
  free_.pop_back();
  return slot;
}

void TTrampolinePool::Free(std::uint8_t* slot) {
  // A stray call through a freed trampoline stops at a breakpoint instead of running old code.
  std::uint8_t fill[kMaxTrampolineSize];
  std::memset(fill, 0xCC, sizeof fill);
  WriteMem(slot, fill, sizeof fill);
  free_.push_back(slot);
}
