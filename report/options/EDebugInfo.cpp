#include "report/options/EDebugInfo.h"

#include <algorithm>
#include <limits>

#include "platform/SysUtils.h"

namespace {

constexpr std::uint8_t kFormat = 1;
constexpr std::uint8_t kNamesEnciphered = 0x01;

void PutVarint(std::vector<std::uint8_t>& out, std::uint64_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(value | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(value));
}

std::uint64_t Zigzag(std::int64_t value) {
  return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::int64_t Unzigzag(std::uint64_t value) {
  return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

// Reads back rows the object packed itself: no checks needed.
std::uint64_t TakeVarint(const std::uint8_t*& at) {
  std::uint64_t value = 0;
  for (int shift = 0;; shift += 7) {
    const std::uint8_t byte = *at++;
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) return value;
  }
}

// Calls row(offset, line) for each row of the procedure, in order, until it returns false.
template <typename F>
void ForEachRow(const std::vector<std::uint8_t>& rows, const TDebugProcedure& p, F&& row) {
  const std::uint8_t* at = rows.data() + p.RowsAt;
  std::uint32_t offset = p.Start;
  std::int64_t line = 0;
  for (std::uint32_t i = 0; i < p.LineCount; ++i) {
    offset += static_cast<std::uint32_t>(TakeVarint(at));
    line += Unzigzag(TakeVarint(at));
    if (!row(offset, static_cast<std::uint32_t>(line))) return;
  }
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint8_t Byte() {
    if (pos_ >= data_.size()) throw EDebugInfoError("Truncated debug information.");
    return data_[pos_++];
  }
  std::uint64_t Varint() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const std::uint8_t byte = Byte();
      value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) return value;
    }
    throw EDebugInfoError("Overlong number in the debug information.");
  }
  std::uint32_t U32(const char* what) {
    const std::uint64_t value = Varint();
    if (value > std::numeric_limits<std::uint32_t>::max())
      throw EDebugInfoError(Format("Debug information: %s out of range.", what));
    return static_cast<std::uint32_t>(value);
  }
  // A count of items of at least one byte each, so a hostile count cannot reserve memory that
  // the data could never fill.
  std::uint32_t Count(const char* what) {
    const std::uint32_t count = U32(what);
    if (count > Remaining())
      throw EDebugInfoError(Format("Debug information: %s larger than the data.", what));
    return count;
  }
  std::uint32_t Index(std::uint32_t limit, const char* what) {
    const std::uint32_t index = U32(what);
    if (index >= limit) throw EDebugInfoError(Format("Debug information: bad %s index.", what));
    return index;
  }
  std::span<const std::uint8_t> Bytes(std::size_t count) {
    if (count > Remaining()) throw EDebugInfoError("Truncated debug information.");
    const auto bytes = data_.subspan(pos_, count);
    pos_ += count;
    return bytes;
  }
  std::size_t Remaining() const { return data_.size() - pos_; }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace

void TDebugInfo::AppendString(std::string_view text) {
  if (text_.size() + text.size() > std::numeric_limits<std::uint32_t>::max())
    throw EDebugInfoError("Debug information: names too long.");
  text_ += text;
  ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

std::vector<std::string> TDebugInfo::Strings() const {
  std::vector<std::string> strings;
  strings.reserve(ends_.size());
  for (std::uint32_t i = 0; i < StringCount(); ++i) strings.emplace_back(String(i));
  return strings;
}

std::uint32_t TDebugInfo::Intern(std::string_view text) {
  if (interned_.size() != ends_.size()) {
    interned_.clear();
    for (std::uint32_t i = 0; i < StringCount(); ++i) interned_.emplace(String(i), i);
  }
  const auto [it, added] = interned_.emplace(std::string(text), StringCount());
  if (added) AppendString(text);
  return it->second;
}

void TDebugInfo::AddProcedure(std::uint32_t start, std::uint32_t size, std::string_view unit,
                              std::string_view className, std::string_view name,
                              std::span<const TDebugLine> rows) {
  if (size == 0 || std::uint64_t{start} + size > std::numeric_limits<std::uint32_t>::max())
    throw EDebugInfoError("Procedure with an empty or impossible range.");
  if (!procedures_.empty()) {
    const TDebugProcedure& last = procedures_.back();
    if (start < last.Start + last.Size)
      throw EDebugInfoError("Procedures out of order or overlapping.");
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Offset < start || rows[i].Offset >= start + size ||
        (i > 0 && rows[i].Offset <= rows[i - 1].Offset))
      throw EDebugInfoError("Line rows out of order or outside their procedure.");
  }
  TDebugProcedure procedure{start,
                            size,
                            Intern(unit),
                            Intern(className),
                            Intern(name),
                            static_cast<std::uint32_t>(rows_.size()),
                            static_cast<std::uint32_t>(rows.size())};
  procedures_.push_back(procedure);
  std::uint32_t offset = start;
  std::int64_t line = 0;
  for (const TDebugLine& row : rows) {
    PutVarint(rows_, row.Offset - offset);
    PutVarint(rows_, Zigzag(static_cast<std::int64_t>(row.Line) - line));
    offset = row.Offset;
    line = row.Line;
  }
}

std::vector<TDebugLine> TDebugInfo::Lines() const {
  std::vector<TDebugLine> lines;
  for (const TDebugProcedure& p : procedures_)
    ForEachRow(rows_, p, [&](std::uint32_t offset, std::uint32_t line) {
      lines.push_back({offset, line});
      return true;
    });
  return lines;
}

std::size_t TDebugInfo::LineCount() const {
  std::size_t count = 0;
  for (const TDebugProcedure& p : procedures_) count += p.LineCount;
  return count;
}

TDebugLocation TDebugInfo::Lookup(std::uint32_t offset) const {
  TDebugLocation location;
  auto next = std::upper_bound(
      procedures_.begin(), procedures_.end(), offset,
      [](std::uint32_t value, const TDebugProcedure& p) { return value < p.Start; });
  if (next == procedures_.begin()) return location;
  const TDebugProcedure& procedure = *(next - 1);
  if (offset - procedure.Start >= procedure.Size) return location;
  location.Found = true;
  location.Unit = String(procedure.Unit);
  location.ClassName = String(procedure.ClassName);
  location.Procedure = String(procedure.Name);
  ForEachRow(rows_, procedure, [&](std::uint32_t rowOffset, std::uint32_t line) {
    if (rowOffset > offset) return false;
    location.Line = line;
    location.LineOffset = rowOffset;
    return true;
  });
  return location;
}

std::uint64_t TDebugInfo::CodeSize() const {
  std::uint64_t total = 0;
  for (const TDebugProcedure& p : procedures_) total += p.Size;
  return total;
}

const TDebugProcedure* TDebugInfo::FindProcedure(std::string_view qualifiedName) const {
  for (const TDebugProcedure& p : procedures_) {
    const std::string_view cls = String(p.ClassName);
    const std::string_view name = String(p.Name);
    if (cls.empty()
            ? qualifiedName == name
            : qualifiedName.size() == cls.size() + 2 + name.size() &&
                  qualifiedName.starts_with(cls) && qualifiedName.substr(cls.size(), 2) == "::" &&
                  qualifiedName.ends_with(name))
      return &p;
  }
  return nullptr;
}

std::vector<std::uint8_t> TDebugInfo::Encode() const {
  std::vector<std::uint8_t> out;
  out.push_back(kFormat);
  out.push_back(namesEnciphered_ ? kNamesEnciphered : 0);
  PutVarint(out, StringCount());
  for (std::uint32_t i = 0; i < StringCount(); ++i) {
    const std::string_view text = String(i);
    PutVarint(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
  }
  PutVarint(out, procedures_.size());
  std::uint32_t previousEnd = 0;
  for (const TDebugProcedure& p : procedures_) {
    PutVarint(out, p.Start - previousEnd);
    PutVarint(out, p.Size);
    PutVarint(out, p.Unit);
    PutVarint(out, p.ClassName);
    PutVarint(out, p.Name);
    PutVarint(out, p.LineCount);
    std::uint32_t offset = p.Start;
    std::int64_t line = 0;
    ForEachRow(rows_, p, [&](std::uint32_t rowOffset, std::uint32_t rowLine) {
      PutVarint(out, rowOffset - offset);
      PutVarint(out, Zigzag(static_cast<std::int64_t>(rowLine) - line));
      offset = rowOffset;
      line = rowLine;
      return true;
    });
    previousEnd = p.Start + p.Size;
  }
  return out;
}

TDebugInfo TDebugInfo::Decode(std::span<const std::uint8_t> data) {
  Reader reader(data);
  if (reader.Byte() != kFormat) throw EDebugInfoError("Unknown debug information format.");
  const std::uint8_t flags = reader.Byte();
  if (flags & ~kNamesEnciphered) throw EDebugInfoError("Unknown debug information flags.");
  TDebugInfo info;
  info.namesEnciphered_ = (flags & kNamesEnciphered) != 0;
  const std::uint32_t stringCount = reader.Count("string count");
  info.ends_.reserve(stringCount);
  for (std::uint32_t i = 0; i < stringCount; ++i) {
    const auto bytes = reader.Bytes(reader.Count("string length"));
    info.AppendString(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  info.text_.shrink_to_fit();
  const std::uint32_t procedureCount = reader.Count("procedure count");
  info.procedures_.reserve(procedureCount);
  std::uint64_t previousEnd = 0;
  for (std::uint32_t i = 0; i < procedureCount; ++i) {
    TDebugProcedure p{};
    const std::uint64_t start = previousEnd + reader.U32("procedure start");
    const std::uint64_t size = reader.U32("procedure size");
    if (size == 0 || start + size > std::numeric_limits<std::uint32_t>::max())
      throw EDebugInfoError("Debug information: impossible procedure range.");
    p.Start = static_cast<std::uint32_t>(start);
    p.Size = static_cast<std::uint32_t>(size);
    p.Unit = reader.Index(stringCount, "unit");
    p.ClassName = reader.Index(stringCount, "class");
    p.Name = reader.Index(stringCount, "name");
    p.LineCount = reader.Count("row count");
    p.RowsAt = static_cast<std::uint32_t>(info.rows_.size());
    std::uint64_t offset = p.Start;
    std::int64_t line = 0;
    for (std::uint32_t r = 0; r < p.LineCount; ++r) {
      const std::uint64_t delta = reader.U32("row address");
      if (r > 0 && delta == 0) throw EDebugInfoError("Debug information: repeated row address.");
      offset += delta;
      const std::int64_t lineDelta = Unzigzag(reader.Varint());
      if (lineDelta > 0xFFFFFFFFLL || lineDelta < -0xFFFFFFFFLL)
        throw EDebugInfoError("Debug information: line out of range.");
      line += lineDelta;
      if (offset >= start + size || line < 0 || line > std::numeric_limits<std::uint32_t>::max())
        throw EDebugInfoError("Debug information: row outside its procedure.");
      PutVarint(info.rows_, delta);
      PutVarint(info.rows_, Zigzag(lineDelta));
    }
    info.procedures_.push_back(p);
    previousEnd = start + size;
  }
  if (reader.Remaining() != 0) throw EDebugInfoError("Data after the debug information.");
  info.rows_.shrink_to_fit();
  return info;
}
