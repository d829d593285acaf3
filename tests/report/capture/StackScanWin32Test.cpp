// The stack scan over the live process: the reader never faults on memory the memory manager
// denies, and a real call chain shows up with its return addresses, innermost first.
#include <gtest/gtest.h>
#include "platform/win/WinApi.h"

#include "report/capture/EModuleSymbolResolver.h"
#include "report/capture/EStackScan.h"
#include "report/capture/MemoryReaderWin32.h"

namespace {

std::uint32_t Addr(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

TModuleSymbolResolver ProgramResolver() {
  const auto base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  TModuleSymbolResolver resolver;
  resolver.AddModule({Addr(base), nt->OptionalHeader.SizeOfImage, "test.exe", nullptr, {}});
  return resolver;
}

struct Seen {
  std::uint32_t innerReturn = 0, outerReturn = 0;
  TOskedaStackList list;
};

__attribute__((noinline)) void Innermost(Seen& seen) {
  seen.innerReturn = Addr(__builtin_return_address(0));
  const TProcessMemoryReader memory;
  const TModuleSymbolResolver resolver = ProgramResolver();
  TStackWalkParams params;
  params.Start = Addr(__builtin_frame_address(0));
  // The thread's stack base, from its information block (NtCurrentTeb trips -Warray-bounds).
  std::uint32_t stackBase;
  asm("movl %%fs:4, %0" : "=r"(stackBase));
  params.StackTop = stackBase;
  params.ThreadId = GetCurrentThreadId();
  params.KindMask = KindBit(mkNoSymbols);
  WalkStack(memory, resolver, params, seen.list);
  asm volatile("" ::: "memory");
}

__attribute__((noinline)) void Middle(Seen& seen) {
  seen.outerReturn = Addr(__builtin_return_address(0));
  Innermost(seen);
  asm volatile("" ::: "memory");
}

std::ptrdiff_t IndexOfCallBefore(const TOskedaStackList& list, std::uint32_t returnAddress) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::uint32_t length = returnAddress - list[i].Address;
    if (length >= 2 && length <= 7) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

}  // namespace

TEST(StackScanWin32, FindsTheReturnAddressesOfARealCallChain) {
  Seen seen;
  Middle(seen);
  const std::ptrdiff_t inner = IndexOfCallBefore(seen.list, seen.innerReturn);
  const std::ptrdiff_t outer = IndexOfCallBefore(seen.list, seen.outerReturn);
  ASSERT_GE(inner, 0);
  ASSERT_GT(outer, inner);
  EXPECT_EQ(seen.list[inner].ModulePath, "test.exe");
  EXPECT_EQ(seen.list[inner].ThreadId, GetCurrentThreadId());
}

TEST(StackScanWin32, ReadsOnlyCommittedReadablePages) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const std::uint32_t page = info.dwPageSize;
  auto* block =
      static_cast<std::uint8_t*>(VirtualAlloc(nullptr, 4 * page, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(block, nullptr);
  ASSERT_NE(VirtualAlloc(block, 2 * page, MEM_COMMIT, PAGE_READWRITE), nullptr);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
  ASSERT_NE(VirtualAlloc(block + 2 * page, page, MEM_COMMIT, PAGE_READONLY | PAGE_GUARD), nullptr);
  block[page - 1] = 0x5A;

  const TProcessMemoryReader memory;
  EXPECT_EQ(memory.ReadableSpan(Addr(block), 4 * page), page);
  EXPECT_EQ(memory.ReadableSpan(Addr(block + page), 4), 0u);
  EXPECT_EQ(memory.ReadableSpan(Addr(block + 2 * page), 4), 0u);  // a guard page
  EXPECT_EQ(memory.ReadableSpan(Addr(block + 3 * page), 4), 0u);  // reserved only
  std::uint8_t bytes[2];
  EXPECT_FALSE(memory.Read(Addr(block + page - 1), bytes, 2));
  ASSERT_TRUE(memory.Read(Addr(block + page - 1), bytes, 1));
  EXPECT_EQ(bytes[0], 0x5A);
  EXPECT_FALSE(memory.IsReadable(0, 4));
  EXPECT_EQ(memory.ReadableSpan(0xFFFF0000u, 0x100), 0u);  // above every application address
  VirtualFree(block, 0, MEM_RELEASE);
}
