// Arbitrary bytes at a procedure start: the length decoder must stay inside the bytes it is
// given (the buffer is exactly the input, so AddressSanitizer sees any read past it), and the
// trampoline builder must either refuse or produce a trampoline that fits its slot.
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "report/hook/EHookDecoder.h"
#include "report/hook/EHookTrampoline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::vector<std::uint8_t> code(data, data + size);
  for (std::size_t at = 0; at < code.size(); ++at) {
    const TDecodeResult r = DecodeInstruction(std::span(code).subspan(at));
    if (r.Status == TDecodeStatus::Ok && (r.Instruction.Length == 0 || r.Instruction.Length > 15 ||
                                          r.Instruction.Length > code.size() - at ||
                                          r.Instruction.RelativeOffset >= r.Instruction.Length))
      __builtin_trap();
  }
  const TTrampoline t = BuildTrampoline(code, 0x401000, 0x900000);
  if (t.Error == TTrampolineError::None &&
      (t.Code.size() > kMaxTrampolineSize || t.PatchLength < kHookJumpSize ||
       t.PatchLength > code.size()))
    __builtin_trap();
  return 0;
}
