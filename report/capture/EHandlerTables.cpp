#include "report/capture/EHandlerTables.h"

#include <optional>

namespace {

// Pointer encodings of the exception tables: the format in the low nibble, the base it is
// relative to in the next three bits, and an indirection bit.
constexpr std::uint8_t EncOmit = 0xFF;
constexpr std::uint8_t EncAbsPtr = 0x00, EncUleb128 = 0x01, EncUdata2 = 0x02, EncUdata4 = 0x03,
                       EncUdata8 = 0x04, EncSleb128 = 0x09, EncSdata2 = 0x0A, EncSdata4 = 0x0B,
                       EncSdata8 = 0x0C;
constexpr std::uint8_t EncPcRel = 0x10, EncTextRel = 0x20, EncDataRel = 0x30, EncFuncRel = 0x40,
                       EncAligned = 0x50, EncIndirect = 0x80;

// Limits that keep a damaged table from running on: no real procedure comes near them.
constexpr std::uint32_t MaxCallSiteTable = 1u << 20;
constexpr int MaxActionSteps = 256;
constexpr int MaxThrowListTypes = 256;

class TCursor {
 public:
  TCursor(const TMemoryReader& memory, std::uint32_t at) : memory_(memory), at_(at) {}
  std::uint32_t At() const { return at_; }
  void Seek(std::uint32_t at) { at_ = at; }

  std::optional<std::uint8_t> Byte() {
    std::uint8_t b;
    if (!memory_.Read(at_, &b, 1)) return std::nullopt;
    ++at_;
    return b;
  }
  std::optional<std::uint64_t> Unsigned(std::uint32_t size) {
    std::uint8_t bytes[8];
    if (!memory_.Read(at_, bytes, size)) return std::nullopt;
    at_ += size;
    std::uint64_t value = 0;
    for (std::uint32_t i = size; i-- > 0;) value = value << 8 | bytes[i];
    return value;
  }
  std::optional<std::uint64_t> Uleb128() {
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
      const auto b = Byte();
      if (!b) return std::nullopt;
      value |= std::uint64_t{*b & 0x7Fu} << shift;
      if (!(*b & 0x80)) return value;
    }
    return std::nullopt;
  }
  std::optional<std::int64_t> Sleb128() {
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
      const auto b = Byte();
      if (!b) return std::nullopt;
      value |= std::uint64_t{*b & 0x7Fu} << shift;
      if (!(*b & 0x80)) {
        if (shift + 7 < 64 && (*b & 0x40)) value |= ~std::uint64_t{0} << (shift + 7);
        return static_cast<std::int64_t>(value);
      }
    }
    return std::nullopt;
  }

  // A value in one of the pointer encodings, relative to the bases of the frame.
  std::optional<std::uint32_t> Encoded(std::uint8_t encoding, const TFrameTables& frame) {
    if ((encoding & 0x70) == EncAligned) {
      at_ = (at_ + 3u) & ~3u;
      encoding = EncAbsPtr;
    }
    const std::uint32_t here = at_;
    std::optional<std::uint64_t> raw;
    switch (encoding & 0x0F) {
      case EncAbsPtr: raw = Unsigned(4); break;
      case EncUleb128: raw = Uleb128(); break;
      case EncUdata2: raw = Unsigned(2); break;
      case EncUdata4: raw = Unsigned(4); break;
      case EncUdata8: raw = Unsigned(8); break;
      case EncSleb128: {
        const auto s = Sleb128();
        if (s) raw = static_cast<std::uint64_t>(*s);
        break;
      }
      case EncSdata2: {
        const auto u = Unsigned(2);
        if (u) raw = static_cast<std::uint64_t>(static_cast<std::int16_t>(*u));
        break;
      }
      case EncSdata4: {
        const auto u = Unsigned(4);
        if (u) raw = static_cast<std::uint64_t>(static_cast<std::int32_t>(*u));
        break;
      }
      case EncSdata8: raw = Unsigned(8); break;
      default: return std::nullopt;
    }
    if (!raw) return std::nullopt;
    auto value = static_cast<std::uint32_t>(*raw);
    if (value == 0) return 0;  // a null pointer stays null whatever it is relative to
    switch (encoding & 0x70) {
      case EncAbsPtr: break;
      case EncPcRel: value += here; break;
      case EncTextRel: value += frame.TextBase; break;
      case EncDataRel: value += frame.DataBase; break;
      case EncFuncRel: value += frame.RegionStart; break;
      default: return std::nullopt;
    }
    if (encoding & EncIndirect) {
      std::uint32_t target;
      if (!memory_.ReadU32(value, target)) return std::nullopt;
      value = target;
    }
    return value;
  }

 private:
  const TMemoryReader& memory_;
  std::uint32_t at_;
};

std::uint32_t EncodedSize(std::uint8_t encoding) {
  switch (encoding & 0x07) {
    case EncAbsPtr: return 4;
    case EncUdata2: return 2;
    case EncUdata4: return 4;
    case EncUdata8: return 8;
    default: return 0;  // variable-length encodings cannot index a type table
  }
}

struct THeader {
  std::uint32_t LandingPadBase = 0;
  std::uint8_t TypeEncoding = EncOmit;
  std::uint32_t TypeTable = 0;  // one past the first entry; entries are indexed backwards
  std::uint8_t CallSiteEncoding = 0;
  std::uint32_t CallSites = 0, Actions = 0;
};

std::optional<THeader> ReadHeader(TCursor& c, const TFrameTables& frame) {
  THeader h;
  const auto landingPadEncoding = c.Byte();
  if (!landingPadEncoding) return std::nullopt;
  h.LandingPadBase = frame.RegionStart;
  if (*landingPadEncoding != EncOmit) {
    const auto base = c.Encoded(*landingPadEncoding, frame);
    if (!base) return std::nullopt;
    h.LandingPadBase = *base;
  }
  const auto typeEncoding = c.Byte();
  if (!typeEncoding) return std::nullopt;
  h.TypeEncoding = *typeEncoding;
  if (h.TypeEncoding != EncOmit) {
    const auto offset = c.Uleb128();
    if (!offset || *offset > MaxCallSiteTable * 4) return std::nullopt;
    h.TypeTable = c.At() + static_cast<std::uint32_t>(*offset);
  }
  const auto callSiteEncoding = c.Byte();
  const auto length = c.Uleb128();
  if (!callSiteEncoding || !length || *length > MaxCallSiteTable) return std::nullopt;
  h.CallSiteEncoding = *callSiteEncoding;
  h.CallSites = c.At();
  h.Actions = h.CallSites + static_cast<std::uint32_t>(*length);
  return h;
}

// The type information of entry index of the type table; nullopt when it cannot be read.
std::optional<std::uint32_t> TypeEntry(const TMemoryReader& memory, const THeader& h,
                                       const TFrameTables& frame, std::uint64_t index) {
  const std::uint32_t size = EncodedSize(h.TypeEncoding);
  if (h.TypeEncoding == EncOmit || size == 0 || index > MaxCallSiteTable) return std::nullopt;
  TCursor c(memory, h.TypeTable - static_cast<std::uint32_t>(index) * size);
  return c.Encoded(h.TypeEncoding, frame);
}

// A dynamic throw list (filter < 0) lets the exception pass when one of its types
// matches it; an empty one (noexcept) lets nothing pass.
std::optional<bool> ThrowListAllows(const TMemoryReader& memory, const THeader& h,
                                        const TFrameTables& frame, std::int64_t filter,
                                        const TCatchMatcher& catches) {
  if (h.TypeEncoding == EncOmit || filter < -std::int64_t{MaxCallSiteTable}) return std::nullopt;
  TCursor c(memory, h.TypeTable + static_cast<std::uint32_t>(-(filter + 1)));
  for (int i = 0; i < MaxThrowListTypes; ++i) {
    const auto index = c.Uleb128();
    if (!index) return std::nullopt;
    if (*index == 0) return false;
    const auto type = TypeEntry(memory, h, frame, *index);
    if (!type) return std::nullopt;
    if (catches(*type)) return true;
  }
  return std::nullopt;
}

}  // namespace

TFrameOutcome InspectFrameTables(const TMemoryReader& memory, const TFrameTables& frame,
                                 const TCatchMatcher& catches) {
  if (!frame.Lsda) return TFrameOutcome::PassesThrough;
  TCursor c(memory, frame.Lsda);
  const auto header = ReadHeader(c, frame);
  if (!header) return TFrameOutcome::Unreadable;
  const THeader& h = *header;

  std::uint32_t landingPad = 0;
  std::uint64_t action = 0;
  bool listed = false;
  while (c.At() < h.Actions) {
    const auto start = c.Encoded(h.CallSiteEncoding & 0x0F, frame);
    const auto length = c.Encoded(h.CallSiteEncoding & 0x0F, frame);
    const auto pad = c.Encoded(h.CallSiteEncoding & 0x0F, frame);
    const auto actionOffset = c.Uleb128();
    if (!start || !length || !pad || !actionOffset) return TFrameOutcome::Unreadable;
    const std::uint64_t from = std::uint64_t{frame.RegionStart} + *start;
    if (frame.Ip < from) break;  // the table is sorted: the call is not listed
    if (frame.Ip < from + *length) {
      listed = true;
      landingPad = *pad;
      action = *actionOffset;
      break;
    }
  }
  if (!listed) return TFrameOutcome::Terminates;
  if (landingPad == 0 || action == 0) return TFrameOutcome::PassesThrough;

  std::uint64_t record = std::uint64_t{h.Actions} + action - 1;
  for (int step = 0; step < MaxActionSteps; ++step) {
    if (record > 0xFFFFFFFFu) return TFrameOutcome::Unreadable;
    TCursor a(memory, static_cast<std::uint32_t>(record));
    const auto filter = a.Sleb128();
    const std::uint32_t displacementAt = a.At();
    const auto displacement = a.Sleb128();
    if (!filter || !displacement) return TFrameOutcome::Unreadable;
    if (*filter > 0) {
      const auto type = TypeEntry(memory, h, frame, static_cast<std::uint64_t>(*filter));
      if (!type) return TFrameOutcome::Unreadable;
      if (catches(*type)) return TFrameOutcome::Caught;
    } else if (*filter < 0) {
      const auto allows = ThrowListAllows(memory, h, frame, *filter, catches);
      if (!allows) return TFrameOutcome::Unreadable;
      if (!*allows) return TFrameOutcome::Terminates;
    }
    if (*displacement == 0) return TFrameOutcome::PassesThrough;
    if (*displacement > MaxCallSiteTable || *displacement < -std::int64_t{MaxCallSiteTable})
      return TFrameOutcome::Unreadable;
    record = static_cast<std::uint64_t>(std::int64_t{displacementAt} + *displacement);
  }
  return TFrameOutcome::Unreadable;
}
