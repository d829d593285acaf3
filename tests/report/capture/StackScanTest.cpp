#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "report/capture/EMemoryImage.h"
#include "report/capture/EStackScan.h"

namespace {

constexpr std::uint32_t kCode = 0x00401000;
constexpr std::uint32_t kStack = 0x0012F000;

std::string ProcedureName(std::uint32_t address) {
  return std::string("p") += std::to_string(address);
}

// Every address is in "app.exe" with kind 4, unless listed otherwise.
class FakeResolver : public TAddressResolver {
 public:
  std::map<std::uint32_t, std::uint8_t> kinds;
  TResolvedAddress Resolve(std::uint32_t address) const override {
    TResolvedAddress r;
    auto it = kinds.find(address);
    r.Kind = it == kinds.end() ? std::uint8_t{mkOwnCode} : it->second;
    r.ModuleHandle = 0x00400000;
    r.ModulePath = "app.exe";
    r.ProcedureName = ProcedureName(address);
    return r;
  }
};

std::vector<std::uint32_t> Addresses(const TOskedaStackList& list) {
  std::vector<std::uint32_t> out;
  for (const TOskedaStackEntry& e : list) out.push_back(e.Address);
  return out;
}

struct Scan {
  TMemoryImage memory;
  FakeResolver resolver;
  TStackWalkParams params;
  Scan(std::uint32_t stackBytes = 256) {
    memory.AddRegion(kCode, std::vector<std::uint8_t>(0x1000, 0x90));
    memory.AddRegion(kStack, std::vector<std::uint8_t>(stackBytes, 0));
    params.Start = kStack;
    params.StackTop = kStack + stackBytes;
    params.ThreadId = 42;
    params.Running = true;
  }
  // Places a call instruction that ends at kCode + end, and its return address on the stack.
  void Call(std::vector<std::uint8_t> bytes, std::uint32_t end, std::uint32_t slot) {
    ASSERT_TRUE(memory.Poke(kCode + end - static_cast<std::uint32_t>(bytes.size()), bytes.data(),
                            static_cast<std::uint32_t>(bytes.size())));
    ASSERT_TRUE(memory.PokeU32(kStack + slot, kCode + end));
  }
  std::vector<std::uint32_t> Walk() {
    TOskedaStackList list;
    WalkStack(memory, resolver, params, list);
    return Addresses(list);
  }
};

}  // namespace

TEST(StackScan, RecognisesEveryCallFormByWhereItEnds) {
  const std::uint32_t ptr = kCode + 0x800;  // a readable pointer for FF 15
  const std::uint8_t p[4] = {static_cast<std::uint8_t>(ptr), static_cast<std::uint8_t>(ptr >> 8),
                             static_cast<std::uint8_t>(ptr >> 16),
                             static_cast<std::uint8_t>(ptr >> 24)};
  const std::vector<std::vector<std::uint8_t>> calls = {{0xE8, 1, 2, 3, 4},
                                                        {0xFF, 0xD0},
                                                        {0xFF, 0xD4},
                                                        {0xFF, 0xD7},
                                                        {0xFF, 0x10},
                                                        {0xFF, 0x13},
                                                        {0xFF, 0x16},
                                                        {0xFF, 0x17},
                                                        {0xFF, 0x50, 8},
                                                        {0xFF, 0x55, 0xFC},
                                                        {0xFF, 0x57, 1},
                                                        {0xFF, 0x14, 0x24},
                                                        {0xFF, 0x54, 0x24, 4},
                                                        {0xFF, 0x90, 1, 0, 0, 0},
                                                        {0xFF, 0x97, 1, 0, 0, 0},
                                                        {0xFF, 0x15, p[0], p[1], p[2], p[3]},
                                                        {0xFF, 0x94, 0x24, 1, 0, 0, 0}};
  for (const auto& call : calls) {
    Scan scan;
    scan.Call(call, 0x100, 8);
    EXPECT_EQ(scan.Walk(),
              std::vector<std::uint32_t>{kCode + 0x100 - static_cast<std::uint32_t>(call.size())})
        << "call form " << std::hex << int(call[0]) << ' ' << int(call[1]);
  }
}

TEST(StackScan, PassesOverBytesThatOnlyLookLikeCalls) {
  const std::vector<std::vector<std::uint8_t>> notCalls = {
      {0xFF, 0x14},                  // SIB form without its SIB byte
      {0xFF, 0x15},                  // absolute form cut short
      {0xFF, 0x54, 0x08},            // disp8 SIB form without the SIB byte
      {0xFF, 0xD8},                  // FF /3, a far call through a register (invalid)
      {0xFF, 0x20},                  // FF /4, a jump
      {0xFF, 0x15, 0, 0, 0, 0x70}};  // absolute form through an unreadable pointer
  for (const auto& bytes : notCalls) {
    Scan scan;
    scan.Call(bytes, 0x100, 8);
    EXPECT_TRUE(scan.Walk().empty()) << std::hex << int(bytes[1]);
  }
  Scan low;  // values below 7 and values whose 7 bytes before are unreadable
  low.memory.PokeU32(kStack, 3);
  low.memory.PokeU32(kStack + 4, kCode + 3);
  low.memory.PokeU32(kStack + 8, 0x70000000);
  EXPECT_TRUE(low.Walk().empty());
}

TEST(StackScan, UnreadableStackIsSkippedAndTheBoundsHold) {
  Scan scan(0);
  scan.memory.AddRegion(kStack, std::vector<std::uint8_t>(8, 0));  // a lone readable pair
  scan.memory.AddRegion(kStack + 8, std::vector<std::uint8_t>(0x1000, 0), false);
  scan.memory.AddRegion(kStack + 0x1008, std::vector<std::uint8_t>(0x100, 0));
  scan.Call({0xFF, 0xD0}, 0x10, 4);
  // A return address inside the unreadable page is there, but must not be seen.
  scan.Call({0xFF, 0xD1}, 0x20, 0x10);
  scan.Call({0xFF, 0xD2}, 0x30, 0x1008 + 0xFC);  // the last slot below the top
  scan.params.StackTop = kStack + 0x1008 + 0x100;
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x0E, kCode + 0x2E}));
  scan.params.StackTop = kStack + 0x1008 + 0xFF;  // the last slot now crosses the top
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x0E}));
}

// Memory that faults on one slot although the query said it was readable (freed meanwhile).
class FaultingReader : public TMemoryReader {
 public:
  FaultingReader(const TMemoryReader& inner, std::uint32_t fault) : inner_(inner), fault_(fault) {}
  std::uint32_t ReadableSpan(std::uint32_t address, std::uint32_t limit) const override {
    return inner_.ReadableSpan(address, limit);
  }
  bool Read(std::uint32_t address, void* dest, std::uint32_t size) const override {
    return address != fault_ && inner_.Read(address, dest, size);
  }

 private:
  const TMemoryReader& inner_;
  std::uint32_t fault_;
};

TEST(StackScan, AFaultWhileReadingClosesTheWindowAndTheScanGoesOn) {
  Scan scan;
  scan.Call({0xFF, 0xD0}, 0x10, 8);
  scan.Call({0xFF, 0xD1}, 0x20, 12);
  scan.Call({0xFF, 0xD2}, 0x30, 16);
  const FaultingReader reader(scan.memory, kStack + 12);
  TOskedaStackList list;
  WalkStack(reader, scan.resolver, scan.params, list);
  EXPECT_EQ(Addresses(list), (std::vector<std::uint32_t>{kCode + 0x0E, kCode + 0x2E}));
}

TEST(StackScan, ReadsAtMostOneHundredKilobytesAboveTheStart) {
  Scan scan(120 * 1024);
  scan.Call({0xFF, 0xD0}, 0x10, StackScanLimitBytes - 4);
  scan.Call({0xFF, 0xD1}, 0x20, StackScanLimitBytes);
  EXPECT_EQ(scan.Walk(), std::vector<std::uint32_t>{kCode + 0x0E});
}

TEST(StackScan, KindMaskSkipAndMaximum) {
  Scan scan;
  for (std::uint32_t i = 0; i < 6; ++i) scan.Call({0xFF, 0xD0}, 0x10 * (i + 1), 4 * i);
  scan.resolver.kinds[kCode + 0x1E] = mkNoSymbols;
  scan.resolver.kinds[kCode + 0x2E] = mkNoModule;
  scan.params.LeadingAddress = kCode + 0x500;
  EXPECT_EQ(scan.Walk().size(), 7u);
  scan.params.KindMask = KindBit(mkOwnCode) | KindBit(mkNoSymbols);
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x500, kCode + 0x0E, kCode + 0x1E,
                                                     kCode + 0x3E, kCode + 0x4E, kCode + 0x5E}));
  scan.params.Skip = 2;
  scan.params.MaxCount = 2;
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x1E, kCode + 0x3E}));

  TOskedaStackList list;
  WalkStack(scan.memory, scan.resolver, scan.params, list);
  EXPECT_EQ(list[0].ThreadId, 42u);
  EXPECT_TRUE(list[0].Running);
  EXPECT_EQ(list[0].Kind, mkNoSymbols);
  EXPECT_EQ(list[1].ProcedureName, ProcedureName(kCode + 0x3E));
}

TEST(StackScan, VerifiedDirectCallsRecordTheirTargetThroughAJumpThunk) {
  Scan scan;
  scan.params.VerifyCallTargets = true;
  // call rel32 from 0x100 to a thunk at 0x200: jmp [0x300], and 0x300 holds 0x400.
  scan.Call({0xE8, 0xFB, 0x00, 0, 0}, 0x105, 0);
  const std::uint8_t thunk[6] = {0xFF, 0x25, 0x00, 0x13, 0x40, 0x00};
  scan.memory.Poke(kCode + 0x200, thunk, 6);
  scan.memory.PokeU32(kCode + 0x300, kCode + 0x400);
  // A second call whose target starts with E8 records only itself.
  scan.Call({0xE8, 0xFB, 0x04, 0, 0}, 0x505, 4);
  scan.memory.Poke(kCode + 0xA00, "\xE8", 1);
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x400, kCode + 0x100, kCode + 0x500}));
  scan.params.VerifyCallTargets = false;
  EXPECT_EQ(scan.Walk(), (std::vector<std::uint32_t>{kCode + 0x100, kCode + 0x500}));
}

TEST(StackCleanUp, HidesReturnAddressesSeenTwice) {
  auto entry = [](std::uint32_t address, std::uint8_t kind, const char* module = "app.exe",
                  const char* proc = "f") {
    TOskedaStackEntry e;
    e.Address = address;
    e.Kind = kind;
    e.ModulePath = module;
    e.ProcedureName = proc;
    return e;
  };
  auto kinds = [](const TOskedaStackList& list) {
    std::vector<int> out;
    for (const auto& e : list) out.push_back(e.Kind);
    return out;
  };
  TOskedaStackList list = {entry(1, 4), entry(1, 4), entry(2, 3), entry(1, 4), entry(2, 2, "k.dll"),
                           entry(2, 1), entry(3, 4), entry(9, 4), entry(3, 4)};
  CleanUpStack(list, false);
  // 6 repeats 8 two along; 1 repeats 3; 0's twin 1 is hidden by then; 2 has no twin in its
  // module; kinds outside 2..4 never count.
  EXPECT_EQ(kinds(list), (std::vector<int>{4, 0, 3, 4, 2, 1, 0, 4, 4}));

  TOskedaStackList dev = {entry(1, 4, "app.exe", "TApplication::HandleException"), entry(2, 1),
                          entry(3, 0), entry(4, 2), entry(5, 4)};
  CleanUpStack(dev, true);
  EXPECT_EQ(Addresses(dev), (std::vector<std::uint32_t>{4, 5}));
  TOskedaStackList empty;
  CleanUpStack(empty, true);
  EXPECT_TRUE(empty.empty());
}
