// Random memory images with random readable windows under the raw stack scan: the scan must
// stay within its bounds, and every frame it records must be the start of a call instruction
// that ends where a return address pointed.
#include <cstdint>
#include <cstring>
#include <vector>

#include "report/capture/EMemoryImage.h"
#include "report/capture/EStackScan.h"

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint32_t U32() { return Byte() | Byte() << 8 | Byte() << 16 | std::uint32_t{Byte()} << 24; }
  std::uint32_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // The rest of the input, repeated to fill count bytes.
  std::vector<std::uint8_t> Fill(std::size_t count) {
    std::vector<std::uint8_t> bytes(count, 0xFF);
    if (at_ < size_)
      for (std::size_t i = 0; i < count; ++i)
        bytes[i] = data_[at_ + (i * 7 + i / 13) % (size_ - at_)];
    return bytes;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Kinds from the address bits, so that the mask has something to drop.
class BitResolver : public TAddressResolver {
 public:
  TResolvedAddress Resolve(std::uint32_t address) const override {
    TResolvedAddress r;
    r.Kind = static_cast<std::uint8_t>(address % 5);
    if (r.Kind != mkNoModule) {
      r.ModuleHandle = address & 0xFFFF0000u;
      r.ModulePath = "m";
    }
    return r;
  }
};

bool EndsACall(const TMemoryReader& memory, std::uint32_t site) {
  for (std::uint32_t length = 2; length <= 7; ++length) {
    const std::uint32_t ret = site + length;
    std::uint8_t code[7];
    if (ret >= 7 && memory.Read(ret - 7, code, 7) && CallSiteBefore(memory, ret, code) == site)
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint32_t base = in.U32() & 0xFFFFF000u;
  const std::uint32_t regions = 1 + in.Byte() % 6;
  TMemoryImage memory;
  std::uint64_t at = base;
  for (std::uint32_t i = 0; i < regions && at < 0xFFFFF000u; ++i) {
    const std::uint32_t gap = in.Byte() % 3 * 0x100;
    const std::uint32_t length = (1 + in.Byte() % 16) * 0x40;
    const bool readable = in.Byte() % 4 != 0;
    at += gap;
    if (at + length > 0xFFFFFFFFu) break;
    memory.AddRegion(static_cast<std::uint32_t>(at), in.Fill(length), readable);
    at += length;
  }
  TStackWalkParams params;
  params.Start = base + in.Byte() * 4;
  params.StackTop =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(at, 0xFFFFFFFFu)) - in.Byte() % 8;
  params.KindMask = in.Byte() & AllKindsMask;
  params.Skip = in.Byte() % 4;
  params.MaxCount = 1 + in.Byte() % 64;
  params.VerifyCallTargets = in.Byte() & 1;
  params.ThreadId = 7;

  // Return addresses in the image itself, so that the call forms are really met.
  const std::uint32_t slots = in.Byte() % 16;
  for (std::uint32_t i = 0; i < slots; ++i)
    memory.PokeU32(params.Start + 4 * (in.Byte() % 64), base + in.Byte() * 8 + in.Byte() % 8);

  TOskedaStackList list;
  WalkStack(memory, BitResolver(), params, list);
  if (list.size() > params.MaxCount) __builtin_trap();
  for (const TOskedaStackEntry& e : list) {
    if ((KindBit(e.Kind) & params.KindMask) == 0 || e.ThreadId != 7) __builtin_trap();
    if (!params.VerifyCallTargets && !EndsACall(memory, e.Address)) __builtin_trap();
  }
  CleanUpStack(list, in.Byte() & 1);
  return 0;
}
