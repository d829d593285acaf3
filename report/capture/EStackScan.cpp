#include "report/capture/EStackScan.h"

#include <algorithm>
#include <string_view>

namespace {

// ModR/M bytes of FF /2 (call) in the given mode. The memory forms leave out the SIB byte
// (r/m 4) and, in mode 0, the absolute pointer (r/m 5): the scan tests those separately.
bool IsCallModRm(std::uint8_t modrm, std::uint8_t mode) {
  if ((modrm & 0xC0) != mode || (modrm & 0x38) != 0x10) return false;
  const std::uint8_t rm = modrm & 7;
  if (mode == 0xC0) return true;
  return rm != 4 && !(mode == 0x00 && rm == 5);
}

class StackWalker {
 public:
  StackWalker(const TMemoryReader& memory, const TAddressResolver& resolver,
              const TStackWalkParams& params, TOskedaStackList& list)
      : memory_(memory), resolver_(resolver), params_(params), list_(list) {}

  void Run() {
    if (params_.LeadingAddress != 0) Record(params_.LeadingAddress);
    const std::uint64_t end = std::min<std::uint64_t>(
        params_.StackTop, std::uint64_t{params_.Start} + StackScanLimitBytes);
    std::uint64_t windowEnd = params_.Start;
    for (std::uint64_t at = params_.Start; at + 4 <= end && !Full(); at += 4) {
      const auto address = static_cast<std::uint32_t>(at);
      if (at + 4 > windowEnd) {
        const std::uint32_t span = memory_.ReadableSpan(address, StackScanWindowBytes);
        if (span < 4) continue;
        windowEnd = at + (span >= StackScanWindowBytes ? StackScanWindowBytes : 4);
      }
      std::uint32_t value;
      if (!memory_.ReadU32(address, value)) {
        windowEnd = at;
        continue;
      }
      Consider(value);
    }
  }

 private:
  bool Full() const { return kept_ >= params_.MaxCount; }

  void Consider(std::uint32_t value) {
    if (value < 7) return;
    std::uint8_t code[7];
    if (!memory_.Read(value - 7, code, 7)) return;
    const std::uint32_t site = CallSiteBefore(memory_, value, code);
    if (site == 0) return;
    if (params_.VerifyCallTargets && code[2] == 0xE8 && site == value - 5) {
      const std::uint32_t displacement = std::uint32_t{code[3]} | std::uint32_t{code[4]} << 8 |
                                         std::uint32_t{code[5]} << 16 |
                                         std::uint32_t{code[6]} << 24;
      const std::uint32_t target = FollowJumpThunk(value + displacement);
      std::uint8_t first;
      if (memory_.Read(target, &first, 1) && first != 0xE8) Record(target);
    }
    Record(site);
  }

  // An indirect jump through a pointer (FF 25) stands for its destination.
  std::uint32_t FollowJumpThunk(std::uint32_t address) const {
    std::uint8_t op[2];
    std::uint32_t pointer, destination;
    if (memory_.Read(address, op, 2) && op[0] == 0xFF && op[1] == 0x25 &&
        memory_.ReadU32(address + 2, pointer) && memory_.ReadU32(pointer, destination))
      return destination;
    return address;
  }

  void Record(std::uint32_t address) {
    if (Full()) return;
    TOskedaStackEntry entry;
    static_cast<TResolvedAddress&>(entry) = resolver_.Resolve(address);
    if ((KindBit(entry.Kind) & params_.KindMask) == 0) return;
    if (skipped_ < params_.Skip) {
      ++skipped_;
      return;
    }
    entry.ThreadId = params_.ThreadId;
    entry.Running = params_.Running;
    entry.Address = address;
    list_.push_back(std::move(entry));
    ++kept_;
  }

  const TMemoryReader& memory_;
  const TAddressResolver& resolver_;
  const TStackWalkParams& params_;
  TOskedaStackList& list_;
  std::uint32_t skipped_ = 0;
  std::uint32_t kept_ = 0;
};

}  // namespace

std::uint32_t CallSiteBefore(const TMemoryReader& memory, std::uint32_t returnAddress,
                             const std::uint8_t (&code)[7]) {
  // code[7 - n] is the byte at returnAddress - n.
  auto at = [&](int n) { return code[7 - n]; };
  if (at(5) == 0xE8) return returnAddress - 5;
  if (at(2) == 0xFF && (IsCallModRm(at(1), 0xC0) || IsCallModRm(at(1), 0x00)))
    return returnAddress - 2;
  if (at(3) == 0xFF && (IsCallModRm(at(2), 0x40) || (at(2) == 0x14 && at(1) == 0x24)))
    return returnAddress - 3;
  if (at(4) == 0xFF && at(3) == 0x54 && at(2) == 0x24) return returnAddress - 4;
  if (at(6) == 0xFF && IsCallModRm(at(5), 0x80)) return returnAddress - 6;
  if (at(6) == 0xFF && at(5) == 0x15) {
    const std::uint32_t pointer = std::uint32_t{at(4)} | std::uint32_t{at(3)} << 8 |
                                  std::uint32_t{at(2)} << 16 | std::uint32_t{at(1)} << 24;
    if (memory.IsReadable(pointer, 4)) return returnAddress - 6;
  }
  if (at(7) == 0xFF && at(6) == 0x94 && at(5) == 0x24) return returnAddress - 7;
  return 0;
}

void WalkStack(const TMemoryReader& memory, const TAddressResolver& resolver,
               const TStackWalkParams& params, TOskedaStackList& list) {
  StackWalker(memory, resolver, params, list).Run();
}

void CleanUpStack(TOskedaStackList& list, bool developmentEnvironment) {
  auto named = [](const TOskedaStackEntry& e) { return e.Kind >= 2 && e.Kind <= 4; };
  if (developmentEnvironment) {
    std::erase_if(list, [&](const TOskedaStackEntry& e) {
      return !named(e) ||
             std::string_view(e.ProcedureName).find("HandleException") != std::string_view::npos;
    });
  }
  if (list.size() < 2) return;
  auto sameReturn = [&](const TOskedaStackEntry& e, const TOskedaStackEntry& later) {
    return named(later) && later.ModuleHandle == e.ModuleHandle &&
           later.ModulePath == e.ModulePath && later.Address == e.Address;
  };
  for (std::size_t i = list.size() - 1; i-- > 0;) {
    TOskedaStackEntry& e = list[i];
    if (!named(e)) continue;
    if (sameReturn(e, list[i + 1]) || (i + 2 < list.size() && sameReturn(e, list[i + 2])))
      e.Kind = mkNoModule;
  }
}
