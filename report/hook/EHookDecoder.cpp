#include "report/hook/EHookDecoder.h"

#include <array>
#include <string_view>

namespace {

// One letter per opcode, sixteen to a row, so a row reads like the opcode map it comes from:
//   .  no operand bytes               m  ModRM                 c  ModRM, always a register
//   b  imm8       w  imm16            z  imm16/32 (operand size)
//   B  ModRM + imm8                   Z  ModRM + imm16/32      g  group 3: imm only for /0 /1
//   r  rel8       R  rel16/32         o  memory offset (address size)
//   f  far pointer (imm16/32 + 16)    n  imm16 + imm8 (enter)
//   t  ends flow, no operand          T  ends flow, imm16 (ret n)
//   p  legacy prefix                  e  0F escape             x  not an instruction
//   v  VEX or LES/LDS    E  EVEX or BOUND    X  XOP or POP r/m
//   3  the 0F 38 map     4  the 0F 3A map
constexpr std::string_view kOneByteMap =
    "mmmmbz..mmmmbz.e"   // 0x
    "mmmmbz..mmmmbz.."   // 1x
    "mmmmbzp.mmmmbzp."   // 2x
    "mmmmbzp.mmmmbzp."   // 3x
    "................"   // 4x
    "................"   // 5x
    "..EmppppzZbB...."   // 6x
    "rrrrrrrrrrrrrrrr"   // 7x
    "BZBBmmmmmmmmmmmX"   // 8x
    "..........f....."   // 9x
    "oooo....bz......"   // Ax
    "bbbbbbbbzzzzzzzz"   // Bx
    "BBTtvvBZn.Tt.b.t"   // Cx
    "mmmmbb..mmmmmmmm"   // Dx
    "rrrrbbbbRRfr...."   // Ex
    "p.pp..gg......mm";  // Fx

constexpr std::string_view kTwoByteMap =
    "mmmmx.....x.xm.B"   // 0x (0F 0F: 3DNow!, its opcode follows as an imm8)
    "mmmmmmmmmmmmmmmm"   // 1x
    "ccccxxxxmmmmmmmm"   // 2x
    "......x.3x4xxxxx"   // 3x
    "mmmmmmmmmmmmmmmm"   // 4x
    "mmmmmmmmmmmmmmmm"   // 5x
    "mmmmmmmmmmmmmmmm"   // 6x
    "BBBBmmm.mmxxmmmm"   // 7x
    "RRRRRRRRRRRRRRRR"   // 8x
    "mmmmmmmmmmmmmmmm"   // 9x
    "...mBmxx...mBmmm"   // Ax
    "mmmmmmmmmmBmmmmm"   // Bx
    "mmBmBBBm........"   // Cx
    "mmmmmmmmmmmmmmmm"   // Dx
    "mmmmmmmmmmmmmmmm"   // Ex
    "mmmmmmmmmmmmmmmm";  // Fx

static_assert(kOneByteMap.size() == 256 && kTwoByteMap.size() == 256);

constexpr std::size_t kMaxLength = 15;

class TReader {
 public:
  explicit TReader(std::span<const std::uint8_t> code) : code_(code) {}

  std::size_t Position() const { return pos_; }
  bool Available(std::size_t count) const { return code_.size() - pos_ >= count; }
  // The byte at the current position plus ahead, or -1 when that lies past the end.
  int Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < code_.size() ? code_[pos_ + ahead] : -1;
  }
  void Skip(std::size_t count) { pos_ += count; }

 private:
  std::span<const std::uint8_t> code_;
  std::size_t pos_ = 0;
};

struct TPrefixes {
  bool OperandSize16 = false;
  bool AddressSize16 = false;
};

// The bytes from the ModRM byte through the displacement; 0 when they run past the end.
std::size_t ModRMLength(const TReader& in, bool addressSize16, bool registerOnly) {
  const int modrm = in.Peek();
  if (modrm < 0) return 0;
  const int mod = modrm >> 6;
  const int rm = modrm & 7;
  std::size_t length = 1;
  if (mod == 3 || registerOnly) return length;
  if (addressSize16) {
    if (mod == 1)
      length += 1;
    else if (mod == 2 || rm == 6)
      length += 2;
    return length;
  }
  if (rm == 4) {
    const int sib = in.Peek(1);
    if (sib < 0) return 0;
    length += 1;
    if (mod == 0 && (sib & 7) == 5) length += 4;
  }
  if (mod == 1)
    length += 1;
  else if (mod == 2 || (mod == 0 && rm == 5))
    length += 4;
  return length;
}

TDecodeResult Finish(std::size_t length, TInstruction instruction, std::size_t available) {
  TDecodeResult result;
  if (length > kMaxLength) return result;
  if (length > available) {
    result.Status = TDecodeStatus::Truncated;
    return result;
  }
  instruction.Length = static_cast<std::uint8_t>(length);
  result.Status = TDecodeStatus::Ok;
  result.Instruction = instruction;
  return result;
}

TDecodeResult TruncatedResult() {
  TDecodeResult result;
  result.Status = TDecodeStatus::Truncated;
  return result;
}

// The VEX, EVEX and XOP forms: the prefix bytes are at the reader, their map selects the
// immediate. The two-byte table tells which 0F-map opcodes carry an imm8.
TDecodeResult DecodeExtended(TReader& in, std::size_t prefixBytes, int map, bool addressSize16,
                             std::size_t available) {
  in.Skip(prefixBytes);
  const int opcode = in.Peek();
  if (opcode < 0) return TruncatedResult();
  in.Skip(1);
  std::size_t immediate = 0;
  bool hasModRM = true;
  switch (map) {
    case 1: {
      const char kind = kTwoByteMap[static_cast<std::size_t>(opcode)];
      if (kind == 'x' || kind == 'R' || kind == '3' || kind == '4') return {};
      if (opcode == 0x77) hasModRM = false;  // vzeroupper, vzeroall
      if (kind == 'B' && opcode != 0x0F) immediate = 1;
      break;
    }
    case 2:
      break;
    case 3:
      immediate = 1;
      break;
    case 8:
      immediate = 1;
      break;  // XOP
    case 9:
      break;  // XOP
    case 10:
      immediate = 4;
      break;  // XOP
    default:
      return {};
  }
  std::size_t length = in.Position();
  if (hasModRM) {
    const std::size_t modrm = ModRMLength(in, addressSize16, false);
    if (modrm == 0) return TruncatedResult();
    length += modrm;
  }
  return Finish(length + immediate, TInstruction{}, available);
}

}  // namespace

TDecodeResult DecodeInstruction(std::span<const std::uint8_t> code) {
  const std::size_t available = code.size();
  TReader in(code);
  TPrefixes prefixes;
  int opcode = -1;
  while (true) {
    if (in.Position() >= kMaxLength) return {};
    opcode = in.Peek();
    if (opcode < 0) return TruncatedResult();
    if (kOneByteMap[static_cast<std::size_t>(opcode)] != 'p') break;
    if (opcode == 0x66) prefixes.OperandSize16 = true;
    if (opcode == 0x67) prefixes.AddressSize16 = true;
    in.Skip(1);
  }
  in.Skip(1);
  const std::size_t operandSize = prefixes.OperandSize16 ? 2 : 4;
  const std::size_t addressSize = prefixes.AddressSize16 ? 2 : 4;

  char kind = kOneByteMap[static_cast<std::size_t>(opcode)];
  bool twoByte = false;
  TInstruction instruction;

  // In 32-bit mode these opcodes are the old instructions only when their next byte addresses
  // memory; a register form (mod = 3) there is the VEX or EVEX prefix. XOP differs by /reg.
  if (kind == 'v' || kind == 'E' || kind == 'X') {
    const int next = in.Peek();
    if (next < 0) return TruncatedResult();
    if (kind == 'X' ? ((next >> 3) & 7) != 0 : (next >> 6) == 3) {
      if (opcode == 0xC5) return DecodeExtended(in, 1, 1, prefixes.AddressSize16, available);
      const int payload = in.Peek(1);
      if (payload < 0) return TruncatedResult();
      if (opcode == 0x62) {
        // EVEX: its reserved bits are fixed; the map is two bits wide.
        if ((next & 0x0C) != 0 || (payload & 0x04) == 0) return {};
        return DecodeExtended(in, 3, next & 3, prefixes.AddressSize16, available);
      }
      const int map = next & 0x1F;
      if (opcode == 0x8F ? map < 8 : map > 3) return {};
      return DecodeExtended(in, 2, map, prefixes.AddressSize16, available);
    }
    kind = 'm';
  }

  if (kind == 'e') {
    const int second = in.Peek();
    if (second < 0) return TruncatedResult();
    in.Skip(1);
    twoByte = true;
    opcode = second;
    kind = kTwoByteMap[static_cast<std::size_t>(opcode)];
    if (kind == '3' || kind == '4') {
      if (in.Peek() < 0) return TruncatedResult();
      in.Skip(1);  // the opcode within the three-byte map
      kind = kind == '3' ? 'm' : 'B';
    }
    if (opcode == 0x0B) instruction.EndsFlow = true;  // ud2
  }

  std::size_t length = in.Position();
  std::size_t immediate = 0;
  bool hasModRM = false;
  bool registerOnly = false;
  switch (kind) {
    case '.':
      break;
    case 'm':
      hasModRM = true;
      break;
    case 'c':
      hasModRM = registerOnly = true;
      break;
    case 'b':
      immediate = 1;
      break;
    case 'w':
      immediate = 2;
      break;
    case 'z':
      immediate = operandSize;
      break;
    case 'B':
      hasModRM = true;
      immediate = 1;
      break;
    case 'Z':
      hasModRM = true;
      immediate = operandSize;
      break;
    case 'g':
      hasModRM = true;
      break;
    case 'o':
      immediate = addressSize;
      break;
    case 'f':
      immediate = operandSize + 2;
      break;
    case 'n':
      immediate = 3;
      break;
    case 't':
      instruction.EndsFlow = true;
      break;
    case 'T':
      instruction.EndsFlow = true;
      immediate = 2;
      break;
    case 'r':
      immediate = 1;
      instruction.Relative = TRelativeKind::Short;
      instruction.RelativeOffset = static_cast<std::uint8_t>(length);
      break;
    case 'R':
      immediate = operandSize;
      instruction.Relative = prefixes.OperandSize16 ? TRelativeKind::Near16 : TRelativeKind::Near;
      instruction.RelativeOffset = static_cast<std::uint8_t>(length);
      break;
    default:
      return {};  // 'x', and a prefix or escape where none can stand
  }

  if (hasModRM) {
    const int modrm = in.Peek();
    const std::size_t modrmLength = ModRMLength(in, prefixes.AddressSize16, registerOnly);
    if (modrmLength == 0) return TruncatedResult();
    const int reg = (modrm >> 3) & 7;
    if (kind == 'g' && reg < 2) immediate = opcode == 0xF6 ? 1 : operandSize;
    if (!twoByte) {
      if (opcode == 0xFF && (reg == 4 || reg == 5)) instruction.EndsFlow = true;
      if (opcode == 0xC7 && modrm == 0xF8) {  // xbegin: its "immediate" is a displacement
        instruction.Relative = prefixes.OperandSize16 ? TRelativeKind::Near16 : TRelativeKind::Near;
        instruction.RelativeOffset = static_cast<std::uint8_t>(length + modrmLength);
      }
    }
    length += modrmLength;
  }
  if (!twoByte && (opcode == 0xE9 || opcode == 0xEB || opcode == 0xEA)) instruction.EndsFlow = true;
  return Finish(length + immediate, instruction, available);
}
