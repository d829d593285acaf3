#include "report/hook/EHookTrampoline.h"

#include <array>
#include <cstring>

#include "report/hook/EHookDecoder.h"

namespace {

constexpr std::uint8_t kJumpNear = 0xE9;

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

void WriteU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool IsPadding(std::uint8_t byte) { return byte == 0xCC || byte == 0x90; }

struct TCopied {
  std::size_t Offset;  // in the procedure, and the same in the trampoline
  TInstruction Instruction;
};

TTrampoline Failed(TTrampolineError error) {
  TTrampoline result;
  result.Error = error;
  return result;
}

}  // namespace

std::array<std::uint8_t, kHookJumpSize> MakeRelativeJump(std::uint32_t from, std::uint32_t to) {
  std::array<std::uint8_t, kHookJumpSize> jump{kJumpNear};
  WriteU32(jump.data() + 1, to - (from + kHookJumpSize));
  return jump;
}

TTrampoline BuildTrampoline(std::span<const std::uint8_t> code, std::uint32_t procAddress,
                            std::uint32_t trampolineAddress) {
  std::vector<TCopied> copied;
  std::size_t covered = 0;
  bool endsFlow = false;
  while (covered < kHookJumpSize) {
    const TDecodeResult decoded = DecodeInstruction(code.subspan(covered));
    if (decoded.Status != TDecodeStatus::Ok) return Failed(TTrampolineError::Undecodable);
    copied.push_back({covered, decoded.Instruction});
    covered += decoded.Instruction.Length;
    if (decoded.Instruction.EndsFlow) {
      endsFlow = true;
      break;
    }
  }
  const std::size_t copiedLength = covered;
  std::size_t patchLength = covered;
  if (patchLength < kHookJumpSize) {
    if (code.size() < kHookJumpSize) return Failed(TTrampolineError::TooShort);
    for (std::size_t i = covered; i < kHookJumpSize; ++i)
      if (!IsPadding(code[i])) return Failed(TTrampolineError::TooShort);
    patchLength = kHookJumpSize;
  }

  TTrampoline result;
  result.PatchLength = patchLength;
  std::vector<std::uint8_t>& out = result.Code;
  out.assign(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(copiedLength));
  // Jumps that leave the copied range keep their 8-bit form and reach a stub placed after the
  // jump back; the copied instructions thus keep their offsets.
  std::vector<std::pair<std::size_t, std::uint32_t>> stubs;  // displacement offset, target
  for (const TCopied& c : copied) {
    const TInstruction& insn = c.Instruction;
    if (insn.Relative == TRelativeKind::None) continue;
    if (insn.Relative == TRelativeKind::Near16) return Failed(TTrampolineError::Unrelocatable);
    const std::size_t field = c.Offset + insn.RelativeOffset;
    const std::size_t next = c.Offset + insn.Length;
    const std::uint32_t displacement = insn.Relative == TRelativeKind::Short
                                           ? static_cast<std::uint32_t>(static_cast<std::int32_t>(
                                                 static_cast<std::int8_t>(code[field])))
                                           : ReadU32(code.data() + field);
    const std::uint32_t target = procAddress + static_cast<std::uint32_t>(next) + displacement;
    const std::uint32_t targetOffset = target - procAddress;
    if (targetOffset < copiedLength) continue;  // stays among the copied instructions
    if (targetOffset < patchLength) return Failed(TTrampolineError::Unrelocatable);
    if (insn.Relative == TRelativeKind::Near) {
      WriteU32(out.data() + field, target - (trampolineAddress + static_cast<std::uint32_t>(next)));
    } else {
      stubs.emplace_back(field, target);
    }
  }

  if (!endsFlow) {
    const auto back = MakeRelativeJump(trampolineAddress + static_cast<std::uint32_t>(out.size()),
                                       procAddress + static_cast<std::uint32_t>(patchLength));
    out.insert(out.end(), back.begin(), back.end());
  }
  for (const auto& [field, target] : stubs) {
    const std::size_t stub = out.size();
    out[field] = static_cast<std::uint8_t>(stub - (field + 1));  // always forward, under 64
    const auto jump =
        MakeRelativeJump(trampolineAddress + static_cast<std::uint32_t>(stub), target);
    out.insert(out.end(), jump.begin(), jump.end());
  }
  return result;
}

std::uint32_t FollowJumpThunks(std::uint32_t address, const IHookMemory& memory) {
  for (int hop = 0; hop < 16; ++hop) {
    std::array<std::uint8_t, 6> thunk{};
    if (!memory.Read(address, thunk)) break;
    if (thunk[0] != 0xFF || thunk[1] != 0x25) break;
    std::array<std::uint8_t, 4> pointer{};
    if (!memory.Read(ReadU32(thunk.data() + 2), pointer)) break;
    const std::uint32_t target = ReadU32(pointer.data());
    if (target == 0) break;
    address = target;
  }
  return address;
}
