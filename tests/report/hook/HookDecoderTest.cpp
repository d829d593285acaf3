#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "report/hook/EHookDecoder.h"
#include "tests/report/hook/ObjdumpListing.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Hex(const Bytes& code, std::size_t from, std::size_t count) {
  std::string text;
  char buf[4];
  for (std::size_t i = from; i < from + count && i < code.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x ", code[i]);
    text += buf;
  }
  return text;
}

// A jump or call whose operand objdump prints as a plain target address is relative.
bool ListedAsRelative(const std::string& text) {
  static const std::regex relative(R"(^(j[a-z]+|call|loop[a-z]*|xbegin) +[0-9a-f]+ <.*)");
  return std::regex_match(text, relative);
}

TDecodeResult Decode(const Bytes& code) { return DecodeInstruction(code); }

}  // namespace

// Every instruction of every function of the listings, decoded with the rest of its function
// after it and again with exactly its own bytes, must have objdump's length; one byte fewer
// must be reported as cut off.
TEST(HookDecoder, LengthsMatchObjdumpOnTheProgramsOwnCode) {
  const auto files = ListingFiles();
  ASSERT_FALSE(files.empty());
  std::size_t checked = 0;
  std::size_t functions = 0;
  for (const std::string& file : files) {
    const auto listing = ReadListing(file);
    ASSERT_FALSE(listing.empty()) << file;
    for (const TListedFunction& f : listing) {
      ++functions;
      for (const TListedInstruction& insn : f.Instructions) {
        const std::span<const std::uint8_t> rest(f.Code.data() + insn.Offset,
                                                 f.Code.size() - insn.Offset);
        const TDecodeResult whole = DecodeInstruction(rest);
        const TDecodeResult exact = DecodeInstruction(rest.first(insn.Length));
        const TDecodeResult cut = DecodeInstruction(rest.first(insn.Length - 1));
        const std::string where = file + " " + f.Name + "+" + std::to_string(insn.Offset) + ": " +
                                  Hex(f.Code, insn.Offset, insn.Length) + insn.Text;
        ASSERT_EQ(whole.Status, TDecodeStatus::Ok) << where;
        ASSERT_EQ(whole.Instruction.Length, insn.Length) << where;
        ASSERT_EQ(exact.Instruction.Length, insn.Length) << where;
        ASSERT_EQ(cut.Status, TDecodeStatus::Truncated) << where;
        ASSERT_EQ(whole.Instruction.Relative != TRelativeKind::None, ListedAsRelative(insn.Text))
            << where;
        if (insn.Text.rfind("ret", 0) == 0) ASSERT_TRUE(whole.Instruction.EndsFlow) << where;
        ++checked;
      }
    }
  }
  // The listings are the whole of seven source files: thousands of instructions.
  EXPECT_GT(functions, 100u);
  EXPECT_GT(checked, 10000u);
}

// Forms compiled code seldom shows but the hooked system code may.
TEST(HookDecoder, OperandSizeAddressSizeAndGroupThreeImmediates) {
  struct TCase {
    Bytes Code;
    std::size_t Length;
  };
  const TCase cases[] = {
      {{0xB8, 1, 2, 3, 4}, 5},                           // mov eax, imm32
      {{0x66, 0xB8, 1, 2}, 4},                           // mov ax, imm16
      {{0x66, 0x81, 0xC1, 1, 2}, 5},                     // add cx, imm16
      {{0x81, 0x84, 0x24, 1, 0, 0, 0, 1, 2, 3, 4}, 11},  // add [esp+disp32], imm32
      {{0xF6, 0xC1, 0x01}, 3},                           // test cl, 1
      {{0xF6, 0xD1}, 2},                                 // not cl: no immediate
      {{0xF7, 0x45, 0x08, 1, 2, 3, 4}, 7},               // test [ebp+8], imm32
      {{0x66, 0xF7, 0x45, 0x08, 1, 2}, 6},               // test word [ebp+8], imm16
      {{0xF7, 0x7D, 0x08}, 3},                           // idiv [ebp+8]
      {{0xA1, 1, 2, 3, 4}, 5},                           // mov eax, [moffs32]
      {{0x67, 0xA1, 1, 2}, 4},                           // mov eax, [moffs16]
      {{0x67, 0x8B, 0x46, 0x10}, 4},                     // mov eax, [bp+0x10]
      {{0x67, 0x8B, 0x06, 1, 2}, 5},                     // mov eax, [disp16]
      {{0x67, 0x8B, 0x87, 1, 2}, 5},                     // mov eax, [bx+disp16]
      {{0x8B, 0x04, 0x25, 1, 2, 3, 4}, 7},               // mov eax, [disp32] through a SIB
      {{0xC8, 0x10, 0x00, 0x00}, 4},                     // enter 16, 0
      {{0x9A, 1, 2, 3, 4, 5, 6}, 7},                     // call far ptr16:32
      {{0x66, 0xEA, 1, 2, 3, 4}, 6},                     // jmp far ptr16:16
      {{0xC2, 0x08, 0x00}, 3},                           // ret 8
      {{0x0F, 0x20, 0xC0}, 3},                           // mov eax, cr0: mod is ignored
      {{0x0F, 0x22, 0x05}, 3},                           // ... even when it reads as memory
      {{0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 5},               // palignr mm0, mm1, 8
      {{0x66, 0x0F, 0x38, 0x00, 0x44, 0x24, 0x10}, 7},   // pshufb xmm0, [esp+16]
      {{0x0F, 0xBA, 0x64, 0x24, 0x04, 0x03}, 6},         // bt dword [esp+4], 3
      {{0xC4, 0x04, 0x24}, 3},                           // les eax, [esp]: memory, not VEX
      {{0xC5, 0xF8, 0x77}, 3},                           // vzeroupper: no ModRM
      {{0xC4, 0xE3, 0x79, 0x0F, 0xC1, 0x08}, 6},         // vpalignr: map 0F 3A, imm8
      {{0x8F, 0x45, 0x08}, 3},                           // pop [ebp+8]
      {{0xC7, 0xF8, 1, 2, 3, 4}, 6},                     // xbegin rel32
      {{0xF3, 0xA5}, 2},                                 // rep movsd
      {{0x0F, 0x0F, 0xC1, 0x9E}, 4},                     // pfadd mm0, mm1
  };
  for (const TCase& c : cases) {
    const TDecodeResult r = Decode(c.Code);
    EXPECT_EQ(r.Status, TDecodeStatus::Ok) << Hex(c.Code, 0, c.Code.size());
    EXPECT_EQ(r.Instruction.Length, c.Length) << Hex(c.Code, 0, c.Code.size());
  }
}

TEST(HookDecoder, RelativeFieldsAndTheEndOfFlow) {
  const TDecodeResult call = Decode({0xE8, 1, 2, 3, 4});
  EXPECT_EQ(call.Instruction.Relative, TRelativeKind::Near);
  EXPECT_EQ(call.Instruction.RelativeOffset, 1);
  EXPECT_FALSE(call.Instruction.EndsFlow);
  const TDecodeResult jcc = Decode({0x0F, 0x84, 1, 2, 3, 4});
  EXPECT_EQ(jcc.Instruction.Relative, TRelativeKind::Near);
  EXPECT_EQ(jcc.Instruction.RelativeOffset, 2);
  const TDecodeResult jmp16 = Decode({0x66, 0xE9, 1, 2});
  EXPECT_EQ(jmp16.Instruction.Length, 4);
  EXPECT_EQ(jmp16.Instruction.Relative, TRelativeKind::Near16);
  const TDecodeResult loop = Decode({0xE2, 0xFE});
  EXPECT_EQ(loop.Instruction.Relative, TRelativeKind::Short);
  EXPECT_FALSE(loop.Instruction.EndsFlow);
  EXPECT_TRUE(Decode({0xEB, 0x00}).Instruction.EndsFlow);
  EXPECT_TRUE(Decode({0xFF, 0x25, 1, 2, 3, 4}).Instruction.EndsFlow);  // jmp [ptr]
  EXPECT_TRUE(Decode({0xFF, 0xE0}).Instruction.EndsFlow);              // jmp eax
  EXPECT_FALSE(Decode({0xFF, 0xD0}).Instruction.EndsFlow);             // call eax
  EXPECT_TRUE(Decode({0x0F, 0x0B}).Instruction.EndsFlow);              // ud2
  EXPECT_EQ(Decode({0xFF, 0xD0}).Instruction.Relative, TRelativeKind::None);
}

TEST(HookDecoder, RefusesWhatIsNoInstructionAndWhatIsCutOff) {
  EXPECT_EQ(Decode({}).Status, TDecodeStatus::Truncated);
  EXPECT_EQ(Decode({0x66, 0x66}).Status, TDecodeStatus::Truncated);
  EXPECT_EQ(Decode({0x0F}).Status, TDecodeStatus::Truncated);
  EXPECT_EQ(Decode({0x0F, 0x38}).Status, TDecodeStatus::Truncated);
  EXPECT_EQ(Decode({0x8B, 0x04}).Status, TDecodeStatus::Truncated);  // SIB missing
  EXPECT_EQ(Decode({0x8B, 0x84, 0x24, 1, 2, 3}).Status, TDecodeStatus::Truncated);
  EXPECT_EQ(Decode({0x0F, 0x04}).Status, TDecodeStatus::Invalid);
  EXPECT_EQ(Decode({0xC4, 0xE8, 0x79, 0x00, 0xC0}).Status, TDecodeStatus::Invalid);  // map 8
  // Fifteen bytes at most, however they are made up.
  Bytes prefixes(14, 0x66);
  prefixes.push_back(0x90);
  EXPECT_EQ(Decode(prefixes).Instruction.Length, 15);
  prefixes.insert(prefixes.begin(), 0x66);
  EXPECT_EQ(Decode(prefixes).Status, TDecodeStatus::Invalid);
  Bytes longOne(13, 0x66);
  longOne.insert(longOne.end(), {0x81, 0x04, 0x24, 1, 2});  // 13 + 5: too long
  EXPECT_EQ(Decode(longOne).Status, TDecodeStatus::Invalid);
}
