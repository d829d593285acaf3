#include "report/dialog/ESourceLocation.h"

#include <bit>
#include <cstring>
#include <limits>

namespace {

void PutText(TSourceLocationRecord& record, std::size_t offset, std::size_t size,
             std::string_view text) {
  const std::size_t n = text.size() < size ? text.size() : size - 1;
  std::memcpy(record.data() + offset, text.data(), n);
}

void PutLittleEndian(TSourceLocationRecord& record, std::size_t offset, std::uint64_t value,
                     std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

TSourceLocationRecord EncodeSourceLocation(const TSourceLocation& location) {
  TSourceLocationRecord record{};
  PutText(record, SourceModuleOffset, SourceModuleSize, location.ModuleFileName);
  PutText(record, SourceUnitOffset, SourceUnitSize, location.UnitName);
  PutText(record, SourceClassOffset, SourceClassSize, location.ClassName);
  PutText(record, SourceProcedureOffset, SourceProcedureSize, location.ProcedureName);
  PutLittleEndian(record, SourceLineOffset, static_cast<std::uint32_t>(location.Line), 4);
  PutLittleEndian(record, SourceLineOffsetOffset, static_cast<std::uint32_t>(location.LineOffset),
                  4);
  PutLittleEndian(record, SourceBuildTimeOffset, std::bit_cast<std::uint64_t>(location.BuildTime),
                  8);
  return record;
}

std::int32_t ParseLineOffset(std::string_view lineCell) {
  const std::size_t open = lineCell.find('[');
  if (open == std::string_view::npos) return -1;
  const std::size_t close = lineCell.find(']', open);
  if (close == std::string_view::npos || close == open + 1) return -1;
  std::int64_t value = 0;
  for (std::size_t i = open + 1; i < close; ++i) {
    const char c = lineCell[i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return -1;
  }
  return static_cast<std::int32_t>(value);
}
