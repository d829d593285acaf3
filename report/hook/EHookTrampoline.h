// The trampoline of an inline hook: the whole instructions that the 5-byte jump overwrites,
// copied elsewhere and re-targeted, then a jump back to the rest of the procedure. Built from
// bytes and addresses only, so the relocation is checked without patching any code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The jump written over a procedure start: E9 and a 32-bit displacement.
inline constexpr std::size_t kHookJumpSize = 5;
// No trampoline is longer: at most 19 copied bytes (4 + one 15-byte instruction), the jump
// back and a 5-byte stub for each of at most 5 short jumps.
inline constexpr std::size_t kMaxTrampolineSize = 64;
// Bytes of the procedure start that BuildTrampoline may need to see.
inline constexpr std::size_t kMaxPatchedCode = 4 + 15;

enum class TTrampolineError : std::uint8_t {
  None,
  Undecodable,    // an instruction the decoder does not know, or one cut off by the bytes given
  TooShort,       // the procedure ends (ret, jmp) before 5 bytes and real code follows it
  Unrelocatable,  // a 16-bit relative jump, or a jump into the bytes the hook overwrites
};

struct TTrampoline {
  TTrampolineError Error = TTrampolineError::None;
  // The bytes at the procedure start that the hook's jump covers (at least 5); they are saved
  // and written back on unhooking.
  std::size_t PatchLength = 0;
  // The trampoline's code, to be placed at the address it was built for.
  std::vector<std::uint8_t> Code;
};

// Builds the trampoline for the procedure whose first bytes are code and which lies at
// procAddress; the trampoline will lie at trampolineAddress. code may be shorter than
// kMaxPatchedCode when the readable memory ends sooner.
//
// A procedure that ends before 5 bytes (a bare "ret") is hooked only when the bytes after its
// end up to 5 are padding (int3 or nop): anything else is the start of other code, which the
// jump would corrupt.
TTrampoline BuildTrampoline(std::span<const std::uint8_t> code, std::uint32_t procAddress,
                            std::uint32_t trampolineAddress);

// The 5 bytes of a relative jump at `from` to `to`.
std::array<std::uint8_t, kHookJumpSize> MakeRelativeJump(std::uint32_t from, std::uint32_t to);

// Reads another part of the address space; false when any of the bytes cannot be read.
class IHookMemory {
 public:
  virtual ~IHookMemory() = default;
  virtual bool Read(std::uint32_t address, std::span<std::uint8_t> out) const = 0;
};

// Follows indirect jumps through a pointer (FF 25 and a 32-bit pointer address), as import
// thunks are, to the procedure they lead to. Stops at the first address that is not such a
// jump, whose pointer cannot be read or is null, and after 16 jumps (a loop of thunks).
std::uint32_t FollowJumpThunks(std::uint32_t address, const IHookMemory& memory);
