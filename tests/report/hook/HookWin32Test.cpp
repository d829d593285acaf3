#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "report/hook/EHookWin32.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Machine code written by the test, in executable memory of its own.
class TCodeBuffer {
 public:
  TCodeBuffer()
      : base_(static_cast<std::uint8_t*>(
            ::VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE))) {}
  ~TCodeBuffer() { ::VirtualFree(base_, 0, MEM_RELEASE); }
  TCodeBuffer(const TCodeBuffer&) = delete;
  TCodeBuffer& operator=(const TCodeBuffer&) = delete;

  std::uint8_t* Put(std::size_t at, const Bytes& code) {
    std::memcpy(base_ + at, code.data(), code.size());
    return base_ + at;
  }
  void PutU32(std::size_t at, std::uint32_t value) { std::memcpy(base_ + at, &value, 4); }
  std::uint8_t* At(std::size_t at) const { return base_ + at; }
  std::uint32_t Address(std::size_t at) const {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(base_ + at));
  }

 private:
  std::uint8_t* base_;
};

__attribute__((noinline)) int Add(int a, int b) {
  // Enough work that the procedure is not a lone jump to somewhere else.
  volatile int sum = a;
  sum = sum + b;
  return sum;
}

int (*volatile gAdd)(int, int) = &Add;
int (*gAddTrampoline)(int, int) = nullptr;

int TenTimesAdd(int a, int b) { return 10 * gAddTrampoline(a, b); }
int HundredTimesAdd(int a, int b) { return 100 * gAddTrampoline(a, b); }

using TFastProc = int(__fastcall*)(int);
TFastProc gFastTrampoline = nullptr;
int __fastcall PlusHundred(int x) { return gFastTrampoline(x) + 100; }

__attribute__((noinline)) int Forty() { return 40; }

}  // namespace

TEST(HookProcedureWin32, HooksAFunctionOfTheProgramAndCallsThroughTheTrampoline) {
  const Bytes before(reinterpret_cast<std::uint8_t*>(&Add),
                     reinterpret_cast<std::uint8_t*>(&Add) + 8);
  gAddTrampoline = HookProcedureAs(&Add, &TenTimesAdd, "Add");
  ASSERT_NE(gAddTrampoline, nullptr);
  EXPECT_EQ(gAdd(2, 3), 50);
  EXPECT_EQ(gAddTrampoline(2, 3), 5);
  // A second hook of the same procedure is the first one.
  EXPECT_EQ(HookProcedureAs(&Add, &HundredTimesAdd, "Add again"), gAddTrampoline);
  EXPECT_EQ(gAdd(1, 1), 20);

  EXPECT_TRUE(UnhookProcedure(reinterpret_cast<void*>(&Add)));
  EXPECT_EQ(gAdd(2, 3), 5);
  EXPECT_EQ(Bytes(reinterpret_cast<std::uint8_t*>(&Add), reinterpret_cast<std::uint8_t*>(&Add) + 8),
            before);
  EXPECT_FALSE(UnhookProcedure(reinterpret_cast<void*>(&Add)));
}

TEST(HookProcedureWin32, RelocatedJumpsAndCallsRunFromTheTrampoline) {
  TCodeBuffer code;
  // __fastcall f(x): test ecx, ecx; je zero; mov eax, 1; ret; zero: mov eax, 2; ret
  // The je sits inside the copied bytes and leaves them: it runs through a stub.
  auto* branching =
      code.Put(0, {0x85, 0xC9, 0x74, 0x06, 0xB8, 1, 0, 0, 0, 0xC3, 0xB8, 2, 0, 0, 0, 0xC3});
  gFastTrampoline = reinterpret_cast<TFastProc>(
      HookProcedure(branching, reinterpret_cast<void*>(&PlusHundred), "Branching"));
  const auto hooked = reinterpret_cast<TFastProc>(branching);
  EXPECT_EQ(hooked(0), 102);
  EXPECT_EQ(hooked(7), 101);
  EXPECT_TRUE(UnhookProcedure(branching));
  EXPECT_EQ(hooked(0), 2);

  // f(x): call Forty; add eax, 2; ret. The call's displacement is rewritten for its new place.
  auto* calling = code.Put(64, {0xE8, 0, 0, 0, 0, 0x83, 0xC0, 0x02, 0xC3});
  code.PutU32(65,
              static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(&Forty)) - code.Address(69));
  gFastTrampoline = reinterpret_cast<TFastProc>(
      HookProcedure(calling, reinterpret_cast<void*>(&PlusHundred), "Calling"));
  EXPECT_EQ(reinterpret_cast<TFastProc>(calling)(0), 142);
  EXPECT_TRUE(UnhookProcedure(calling));
}

TEST(HookProcedureWin32, FollowsJumpThunksOnBothAddresses) {
  TCodeBuffer code;
  // jmp [slot] where slot holds Add: an import thunk in miniature.
  auto* thunk = code.Put(0, {0xFF, 0x25});
  code.PutU32(2, code.Address(16));
  code.PutU32(16, static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(&Add)));
  gAddTrampoline = reinterpret_cast<int (*)(int, int)>(
      HookProcedure(thunk, reinterpret_cast<void*>(&TenTimesAdd), "Thunk"));
  EXPECT_EQ(gAdd(3, 4), 70);
  EXPECT_TRUE(UnhookProcedure(reinterpret_cast<void*>(&Add)));
  EXPECT_EQ(gAdd(3, 4), 7);
}

namespace {

DWORD WINAPI FixedTickCount() { return 777; }
DWORD(WINAPI* gTickTrampoline)() = nullptr;
DWORD WINAPI TickCountPlusOne() { return gTickTrampoline() + 1; }

}  // namespace

TEST(HookProcedureWin32, HooksAKernel32Export) {
  auto* tick =
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetTickCount"));
  ASSERT_NE(tick, nullptr);
  gTickTrampoline = reinterpret_cast<DWORD(WINAPI*)()>(
      HookProcedure(tick, reinterpret_cast<void*>(&TickCountPlusOne), "GetTickCount"));
  const DWORD real = gTickTrampoline();
  const DWORD hooked = reinterpret_cast<DWORD(WINAPI*)()>(tick)();
  EXPECT_GE(hooked, real + 1);
  EXPECT_LT(hooked, real + 1000);
  EXPECT_TRUE(UnhookProcedure(tick));
}

TEST(HookProcedureWin32, FailuresRaiseTheHookExceptions) {
  try {
    HookProcedure(nullptr, reinterpret_cast<void*>(&TenTimesAdd), "Nothing");
    ADD_FAILURE() << "no exception";
  } catch (const EProcNull& e) {
    EXPECT_STREQ(e.what(), "Cannot hook a null procedure (\"Nothing\").");
    EXPECT_TRUE(e.InheritsFrom("EHookError"));
    EXPECT_STREQ(e.ClassName(), "EProcNull");
  }
  TCodeBuffer code;
  // "ret" followed by the next procedure: the jump does not fit.
  auto* tiny = code.Put(0, {0xC3, 0x55, 0x89, 0xE5, 0x5D, 0xC3});
  try {
    HookProcedure(tiny, reinterpret_cast<void*>(&TenTimesAdd), "Tiny");
    ADD_FAILURE() << "no exception";
  } catch (const EHookingError& e) {
    EXPECT_STREQ(e.what(), "Cannot hook the procedure \"Tiny\".");
  }
  EXPECT_EQ(code.At(0)[0], 0xC3);
  EXPECT_EQ(code.At(0)[1], 0x55);
  EXPECT_THROW(HookProcedure(reinterpret_cast<void*>(&Add), nullptr, "No target"), EHookingError);
  EXPECT_EQ(gAdd(1, 2), 3);
}

TEST(HookMemoryWin32, WriteMemRestoresTheProtectionAndRefusesUnmappedMemory) {
  void* page = ::VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
  ASSERT_NE(page, nullptr);
  const std::uint32_t value = 0x12345678;
  EXPECT_TRUE(WriteMem(page, &value, sizeof value));
  EXPECT_EQ(*static_cast<std::uint32_t*>(page), value);
  MEMORY_BASIC_INFORMATION info{};
  ::VirtualQuery(page, &info, sizeof info);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
  ::VirtualFree(page, 0, MEM_RELEASE);
  EXPECT_FALSE(WriteMem(page, &value, sizeof value));
}

// Outside an anonymous namespace, so that the compiler cannot prove the calls below go to
// THookedShape's own code and skip the table.
class THookedShape {
 public:
  explicit THookedShape(int side) : side_(side) {}
  virtual ~THookedShape() = default;
  virtual int Area() const { return side_ * side_; }
  virtual int Scaled(int factor) const { return side_ * factor; }

 protected:
  int side_;
};

// Slots under the Itanium C++ ABI that MinGW uses: the two destructors, then the methods.
constexpr int kAreaSlot = 2;
constexpr int kScaledSlot = 3;

namespace {

__attribute__((noinline)) int AreaOf(const THookedShape& shape) { return shape.Area(); }
__attribute__((noinline)) int ScaledOf(const THookedShape& shape, int f) { return shape.Scaled(f); }

int __attribute__((thiscall)) NegativeArea(const THookedShape*) { return -1; }
int __attribute__((thiscall)) NegativeScaled(const THookedShape*, int factor) { return -factor; }

}  // namespace

TEST(HookVirtualMethodWin32, ReplacesAndRestoresASlotOfTheClass) {
  THookedShape* volatile shape = new THookedShape(3);
  void** vtable = VirtualTableOf(shape);
  void* original = vtable[kAreaSlot];
  EXPECT_EQ(HookVirtualMethod(vtable, kAreaSlot, reinterpret_cast<void*>(&NegativeArea)), original);
  EXPECT_EQ(AreaOf(*shape), -1);
  EXPECT_EQ(ScaledOf(*shape, 5), 15);  // the other slots keep their code
  // Hooked again: the class's own code is still what unhooking gives back.
  EXPECT_EQ(HookVirtualMethod(vtable, kAreaSlot, reinterpret_cast<void*>(&NegativeScaled)),
            original);
  EXPECT_EQ(HookedMethods().Count(), 1u);
  EXPECT_TRUE(UnhookVirtualMethod(vtable, kAreaSlot));
  EXPECT_EQ(AreaOf(*shape), 9);
  EXPECT_FALSE(UnhookVirtualMethod(vtable, kAreaSlot));
  EXPECT_EQ(HookedMethods().Count(), 0u);
  delete shape;
}

namespace {

DWORD WINAPI FixedProcessId() { return 4242; }

// Each call reads the import slot afresh: within one function the compiler may load a slot
// once and keep the address.
__attribute__((noinline)) DWORD TickCount() { return ::GetTickCount(); }
__attribute__((noinline)) DWORD ProcessId() { return ::GetCurrentProcessId(); }

}  // namespace

// Import hooks have no removal of their own: the shutdown takes them back, with the rest, in
// its order, which this test checks on one hook of each kind.
TEST(HookShutdownWin32, RestoresImportsThenMethodsThenInlineHooksNewestFirst) {
  const DWORD tick = TickCount();
  const DWORD pid = ProcessId();
  const std::vector<std::string> program = {""};

  void* previous = nullptr;
  ASSERT_TRUE(HookImport(program, "kernel32.dll", "GetTickCount", &previous,
                         reinterpret_cast<void*>(&FixedTickCount)));
  EXPECT_EQ(previous, reinterpret_cast<void*>(
                          ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetTickCount")));
  EXPECT_EQ(TickCount(), 777u);
  gAddTrampoline = HookProcedureAs(&Add, &TenTimesAdd, "Add");
  THookedShape* volatile shape = new THookedShape(4);
  HookVirtualMethod(VirtualTableOf(shape), kScaledSlot, reinterpret_cast<void*>(&NegativeScaled));
  ASSERT_TRUE(HookImport(program, "KERNEL32.DLL", "GetCurrentProcessId", &previous,
                         reinterpret_cast<void*>(&FixedProcessId)));
  EXPECT_EQ(ProcessId(), 4242u);

  // A library that is not loaded, a procedure it lacks, a module that is not loaded.
  EXPECT_FALSE(HookImport(program, "nosuch.dll", "Anything", &previous,
                          reinterpret_cast<void*>(&FixedProcessId)));
  EXPECT_EQ(previous, nullptr);
  EXPECT_FALSE(HookImport(program, "kernel32.dll", "NoSuchProcedure", &previous,
                          reinterpret_cast<void*>(&FixedProcessId)));
  const std::vector<std::string> absent = {"nosuch.dll"};
  EXPECT_FALSE(HookImport(absent, "kernel32.dll", "GetTickCount", &previous,
                          reinterpret_cast<void*>(&FixedTickCount)));

  EXPECT_EQ(EHookDone(), (std::vector<std::string>{"import KERNEL32.DLL!GetCurrentProcessId",
                                                   "import kernel32.dll!GetTickCount", "method 3",
                                                   "procedure Add"}));
  EXPECT_EQ(ProcessId(), pid);
  EXPECT_GE(TickCount(), tick);
  EXPECT_EQ(ScaledOf(*shape, 2), 8);
  EXPECT_EQ(gAdd(2, 2), 4);
  EXPECT_TRUE(EHookDone().empty());
  delete shape;
}

namespace {

using TCreateThread = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                      DWORD, LPDWORD);
TCreateThread gCreateThread = nullptr;
volatile LONG gThreadsCreated = 0;

HANDLE WINAPI CountingCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                                   LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                                   LPDWORD id) {
  ::InterlockedIncrement(&gThreadsCreated);
  return gCreateThread(security, stack, start, parameter, flags, id);
}

}  // namespace

// The C runtime DLL, not the program, creates the threads of std::thread: hooking its import
// table is what sees them.
TEST(HookImportWin32, SeesTheThreadsTheRuntimeDllCreates) {
  const std::vector<std::string> modules = {"", "msvcrt.dll"};
  void* previous = nullptr;
  ASSERT_TRUE(HookImport(modules, "kernel32.dll", "CreateThread", &previous,
                         reinterpret_cast<void*>(&CountingCreateThread)));
  gCreateThread = reinterpret_cast<TCreateThread>(previous);
  std::thread([] {}).join();
  EXPECT_EQ(gThreadsCreated, 1);
  const std::vector<std::string> restored = EHookDone();
  ASSERT_FALSE(restored.empty());
  EXPECT_EQ(restored.front(), "import kernel32.dll!CreateThread");
  std::thread([] {}).join();
  EXPECT_EQ(gThreadsCreated, 1);
}
