// The source-location message: what a double click on a frame of the call-stack list tells a
// development tool listening on a mailslot, so that it can open the source at that line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

struct TSourceLocation {
  std::string ModuleFileName;  // the reporting module
  std::string UnitName;
  std::string ClassName;
  std::string ProcedureName;
  std::int32_t Line = 0;
  std::int32_t LineOffset = -1;  // bytes into the line; -1 when not known
  TDateTime BuildTime = 0;       // the module's build date-time
};

// The record is 376 bytes, little-endian, fields at fixed offsets. Each text field is zero
// terminated inside its slot: a longer text is cut to the slot's size less one, and the rest
// of the slot is zero.
constexpr std::size_t SourceLocationRecordSize = 376;
constexpr std::size_t SourceModuleOffset = 0, SourceModuleSize = 128;
constexpr std::size_t SourceUnitOffset = 128, SourceUnitSize = 64;
constexpr std::size_t SourceClassOffset = 192, SourceClassSize = 64;
constexpr std::size_t SourceProcedureOffset = 256, SourceProcedureSize = 104;
constexpr std::size_t SourceLineOffset = 360;        // int32
constexpr std::size_t SourceLineOffsetOffset = 364;  // int32, -1: none
constexpr std::size_t SourceBuildTimeOffset = 368;   // IEEE double, days since 1899-12-30
static_assert(SourceBuildTimeOffset + 8 == SourceLocationRecordSize);

using TSourceLocationRecord = std::array<std::uint8_t, SourceLocationRecordSize>;

TSourceLocationRecord EncodeSourceLocation(const TSourceLocation& location);

// The offset in a line cell such as "42[17]": the digits inside the square brackets after the
// line number; -1 when there are none, when anything but digits stands between the brackets,
// or when the number does not fit.
std::int32_t ParseLineOffset(std::string_view lineCell);
