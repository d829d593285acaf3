#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <regex>
#include <vector>

#include "report/hook/EHookDecoder.h"
#include "report/hook/EHookTrampoline.h"
#include "tests/report/hook/ObjdumpListing.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kProc = 0x00401000;
constexpr std::uint32_t kTramp = 0x00900000;

std::uint32_t U32(const Bytes& code, std::size_t at) {
  return code[at] | code[at + 1] << 8 | code[at + 2] << 16 | std::uint32_t(code[at + 3]) << 24;
}

// Where the relative jump or call at `at` in the trampoline lands, in absolute terms.
std::uint32_t TargetAt(const Bytes& tramp, std::size_t at) {
  const TDecodeResult d = DecodeInstruction(std::span(tramp).subspan(at));
  EXPECT_EQ(d.Status, TDecodeStatus::Ok);
  const std::size_t field = at + d.Instruction.RelativeOffset;
  const std::uint32_t next = kTramp + static_cast<std::uint32_t>(at + d.Instruction.Length);
  if (d.Instruction.Relative == TRelativeKind::Short)
    return next + static_cast<std::uint32_t>(static_cast<std::int8_t>(tramp[field]));
  EXPECT_EQ(d.Instruction.Relative, TRelativeKind::Near);
  return next + U32(tramp, field);
}

// Runs straight-line control flow in the trampoline: from a relative jump at `at`, follows
// short jumps into stubs until a near jump leaves the trampoline.
std::uint32_t FinalTarget(const Bytes& tramp, std::size_t at) {
  for (int hops = 0; hops < 4; ++hops) {
    const std::uint32_t target = TargetAt(tramp, at);
    if (target < kTramp || target >= kTramp + tramp.size()) return target;
    at = target - kTramp;
  }
  ADD_FAILURE() << "jump loop inside the trampoline";
  return 0;
}

TTrampoline Build(const Bytes& code) { return BuildTrampoline(code, kProc, kTramp); }

}  // namespace

TEST(HookTrampoline, NearCallsAndJumpsKeepTheirTargets) {
  // call +0x100; jcc near -0x40 back before the procedure
  const Bytes code = {0xE8, 0x00, 0x01, 0x00, 0x00, 0x0F, 0x85, 0xC0, 0xFF, 0xFF, 0xFF, 0x90};
  const TTrampoline t = Build(code);
  ASSERT_EQ(t.Error, TTrampolineError::None);
  EXPECT_EQ(t.PatchLength, 5u);
  EXPECT_EQ(TargetAt(t.Code, 0), kProc + 5 + 0x100);
  EXPECT_EQ(TargetAt(t.Code, 5), kProc + 5);  // the jump back
  const TTrampoline t2 = Build(Bytes(code.begin() + 5, code.end()));
  ASSERT_EQ(t2.Error, TTrampolineError::None);
  EXPECT_EQ(TargetAt(t2.Code, 0), kProc + 6 - 0x40);
  // Across the 4 GB wrap: a trampoline below the procedure, a target above it.
  const TTrampoline wrap = BuildTrampoline(code, 0xFFFFF000, 0x1000);
  ASSERT_EQ(wrap.Error, TTrampolineError::None);
  EXPECT_EQ(std::uint32_t(0x1000 + 5 + U32(wrap.Code, 1)), 0xFFFFF105u);
}

TEST(HookTrampoline, ShortJumpsOutOfTheCopiedRangeGoThroughStubs) {
  // test eax, eax; je +0x20; jmp short -0x10; then more code
  const Bytes code = {0x85, 0xC0, 0x74, 0x20, 0xEB, 0xF0, 0x90, 0x90};
  const TTrampoline t = Build(code);
  ASSERT_EQ(t.Error, TTrampolineError::None);
  EXPECT_EQ(t.PatchLength, 6u);
  EXPECT_EQ(t.Code.size(), 6u + 2u * 5u);  // a stub per short jump; no jump back after jmp
  EXPECT_EQ(FinalTarget(t.Code, 2), kProc + 4 + 0x20);
  EXPECT_EQ(FinalTarget(t.Code, 4), kProc + 6 - 0x10);
  // The condition itself is kept: still "je", now short to its stub.
  EXPECT_EQ(t.Code[2], 0x74);
}

TEST(HookTrampoline, JumpsWithinTheCopiedRangeStayThere) {
  // jecxz +2 (to the nop); xor eax, eax; nop; nop; nop
  const Bytes code = {0xE3, 0x02, 0x31, 0xC0, 0x90, 0x90, 0xC3};
  const TTrampoline t = Build(code);
  ASSERT_EQ(t.Error, TTrampolineError::None);
  EXPECT_EQ(t.PatchLength, 5u);
  EXPECT_EQ(t.Code[1], 0x02);
  EXPECT_EQ(t.Code.size(), 5u + 5u);
}

TEST(HookTrampoline, ProceduresEndingBeforeFiveBytes) {
  // "xor eax, eax; ret" followed by alignment padding: the padding may be overwritten.
  const TTrampoline padded = Build({0x31, 0xC0, 0xC3, 0xCC, 0x90, 0x55});
  ASSERT_EQ(padded.Error, TTrampolineError::None);
  EXPECT_EQ(padded.PatchLength, 5u);
  EXPECT_EQ(padded.Code, (Bytes{0x31, 0xC0, 0xC3}));
  // ... but not the next procedure.
  EXPECT_EQ(Build({0x31, 0xC0, 0xC3, 0x55, 0x89, 0xE5}).Error, TTrampolineError::TooShort);
  EXPECT_EQ(Build({0xC3}).Error, TTrampolineError::TooShort);  // nothing readable after it
  // A jump out at the start is no end of the procedure's hookable bytes when 5 are covered.
  const TTrampoline jump = Build({0xE9, 0x10, 0x00, 0x00, 0x00});
  ASSERT_EQ(jump.Error, TTrampolineError::None);
  EXPECT_EQ(jump.Code.size(), 5u);
  EXPECT_EQ(TargetAt(jump.Code, 0), kProc + 5 + 0x10);
}

TEST(HookTrampoline, RefusesWhatCannotBeMoved) {
  EXPECT_EQ(Build({0x66, 0xE9, 0x10, 0x00, 0x90}).Error, TTrampolineError::Unrelocatable);
  // A jump into the padding that the hook's jump covers but that is not copied.
  EXPECT_EQ(Build({0xEB, 0x01, 0xCC, 0xCC, 0xCC, 0x55}).Error, TTrampolineError::Unrelocatable);
  EXPECT_EQ(Build({0x0F, 0x04, 0x90, 0x90, 0x90}).Error, TTrampolineError::Undecodable);
  EXPECT_EQ(Build({0x55, 0x8B}).Error, TTrampolineError::Undecodable);
}

namespace {

// objdump's target of a relative jump or call, as an offset from `from` in the function.
bool ListedTarget(const TListedFunction& f, const TListedInstruction& insn, std::size_t from,
                  std::uint32_t& offset) {
  static const std::regex relative(R"(^(j[a-z]+|call|loop[a-z]*|xbegin) +([0-9a-f]+) <.*)");
  std::smatch m;
  if (!std::regex_match(insn.Text, m, relative)) return false;
  offset = static_cast<std::uint32_t>(std::stoul(m[2].str(), nullptr, 16)) - f.Address -
           static_cast<std::uint32_t>(from);
  return true;
}

}  // namespace

// Every instruction of the program's own code taken as a procedure start: the trampoline
// must send each copied jump and call where objdump says the original goes, and come back
// after the patched bytes. Procedures may only be refused for ending too soon.
TEST(HookTrampoline, RelocatesTheProgramsOwnCodeAsObjdumpReadsIt) {
  std::size_t built = 0, refused = 0, relocated = 0;
  for (const std::string& file : ListingFiles()) {
    for (const TListedFunction& f : ReadListing(file)) {
      for (std::size_t first = 0; first < f.Instructions.size(); ++first) {
        const std::size_t start = f.Instructions[first].Offset;
        const std::span<const std::uint8_t> code(f.Code.data() + start, f.Code.size() - start);
        const TTrampoline t = BuildTrampoline(code, kProc, kTramp);
        const std::string where = file + " " + f.Name + "+" + std::to_string(start);
        // A start in the last bytes of a function sees the listing end, not the next code.
        if (t.Error == TTrampolineError::Undecodable && code.size() < kMaxPatchedCode) continue;
        if (t.Error != TTrampolineError::None) {
          ASSERT_EQ(t.Error, TTrampolineError::TooShort) << where;
          ++refused;
          continue;
        }
        ++built;
        ASSERT_LE(t.Code.size(), kMaxTrampolineSize) << where;
        std::size_t copied = 0;
        bool endsFlow = false;
        for (std::size_t i = first; copied < kHookJumpSize && !endsFlow; ++i) {
          ASSERT_LT(i, f.Instructions.size()) << where;
          const TListedInstruction& insn = f.Instructions[i];
          std::uint32_t target = 0;
          if (ListedTarget(f, insn, start, target)) {
            if (target >= t.PatchLength) {
              ASSERT_EQ(FinalTarget(t.Code, copied), kProc + target) << where << " " << insn.Text;
              ++relocated;
            } else {
              ASSERT_EQ(TargetAt(t.Code, copied), kTramp + target) << where << " " << insn.Text;
            }
          }
          endsFlow = DecodeInstruction(code.subspan(copied)).Instruction.EndsFlow;
          copied += insn.Length;
        }
        if (!endsFlow) ASSERT_EQ(TargetAt(t.Code, copied), kProc + t.PatchLength) << where;
      }
    }
  }
  EXPECT_GT(built, 10000u);
  EXPECT_LT(refused, built / 10);
  EXPECT_GT(relocated, 1000u);
}

namespace {

class TFakeMemory : public IHookMemory {
 public:
  void Put(std::uint32_t address, const Bytes& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes_[address + i] = bytes[i];
  }
  void PutU32(std::uint32_t address, std::uint32_t value) {
    Put(address, {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                  std::uint8_t(value >> 24)});
  }
  bool Read(std::uint32_t address, std::span<std::uint8_t> out) const override {
    for (std::size_t i = 0; i < out.size(); ++i) {
      const auto it = bytes_.find(address + static_cast<std::uint32_t>(i));
      if (it == bytes_.end()) return false;
      out[i] = it->second;
    }
    return true;
  }

 private:
  std::map<std::uint32_t, std::uint8_t> bytes_;
};

void PutThunk(TFakeMemory& memory, std::uint32_t at, std::uint32_t slot, std::uint32_t target) {
  memory.Put(at, {0xFF, 0x25});
  memory.PutU32(at + 2, slot);
  memory.PutU32(slot, target);
}

}  // namespace

TEST(HookTrampoline, FollowsJumpThunksToTheProcedure) {
  TFakeMemory memory;
  memory.Put(0x7000, {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x90});
  PutThunk(memory, 0x1000, 0x2000, 0x3000);  // a thunk to a thunk to the code
  PutThunk(memory, 0x3000, 0x2004, 0x7000);
  EXPECT_EQ(FollowJumpThunks(0x1000, memory), 0x7000u);
  EXPECT_EQ(FollowJumpThunks(0x7000, memory), 0x7000u);
  // A slot that cannot be read, a null slot, and thunks that lead to each other end the walk.
  memory.Put(0x4000, {0xFF, 0x25, 0x00, 0x90, 0x00, 0x00});
  EXPECT_EQ(FollowJumpThunks(0x4000, memory), 0x4000u);
  PutThunk(memory, 0x5000, 0x2008, 0);
  EXPECT_EQ(FollowJumpThunks(0x5000, memory), 0x5000u);
  PutThunk(memory, 0x6000, 0x200C, 0x6100);
  PutThunk(memory, 0x6100, 0x2010, 0x6000);
  const std::uint32_t end = FollowJumpThunks(0x6000, memory);
  EXPECT_TRUE(end == 0x6000 || end == 0x6100);
  // Code that is too short to hold a thunk is not one.
  memory.Put(0x8000, {0xFF});
  EXPECT_EQ(FollowJumpThunks(0x8000, memory), 0x8000u);
}
