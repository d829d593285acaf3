// The x86 (32-bit mode) instruction length decoder that inline hooks use to find whole
// instructions at a procedure start, and to learn which of them are relative jumps or calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

enum class TRelativeKind : std::uint8_t {
  None,
  Short,   // 8-bit displacement: jcc, jmp short, loop/loopcc/jecxz
  Near,    // 32-bit displacement: call, jmp, jcc near, xbegin
  Near16,  // 16-bit displacement (operand-size prefix): truncates EIP, never relocatable
};

struct TInstruction {
  std::uint8_t Length = 0;  // 0: not decoded (see TDecodeStatus)
  TRelativeKind Relative = TRelativeKind::None;
  std::uint8_t RelativeOffset = 0;  // where the displacement field starts in the instruction
  bool EndsFlow = false;            // ret, iret, jmp of any kind, ud2: nothing falls through
};

enum class TDecodeStatus : std::uint8_t {
  Ok,
  Truncated,  // the instruction runs past the end of the bytes given
  Invalid,    // not an instruction of 32-bit mode, or longer than 15 bytes
};

struct TDecodeResult {
  TDecodeStatus Status = TDecodeStatus::Invalid;
  TInstruction Instruction;
};

// Decodes the instruction at the start of code. Never reads past code.size(); an instruction
// that needs more bytes than given is Truncated. Handles the legacy prefixes, the one-byte map,
// the 0F, 0F 38 and 0F 3A maps, the VEX and EVEX forms, ModRM/SIB with 32- and 16-bit
// addressing, and immediates with the operand-size prefix.
TDecodeResult DecodeInstruction(std::span<const std::uint8_t> code);
