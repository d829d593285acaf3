// Line cells and names of any shape: the offset parser answers -1 or a number that stands in
// the cell's brackets, and every text slot of the record keeps its terminator.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "report/dialog/ESourceLocation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::int32_t offset = ParseLineOffset(input);
  if (offset < -1) std::abort();
  if (offset >= 0 && input.find(std::to_string(offset) + "]") == std::string_view::npos)
    std::abort();

  TSourceLocation location;
  const std::size_t quarter = size / 4;
  location.ModuleFileName = std::string(input.substr(0, quarter));
  location.UnitName = std::string(input.substr(quarter, quarter));
  location.ClassName = std::string(input.substr(2 * quarter, quarter));
  location.ProcedureName = std::string(input.substr(3 * quarter));
  const TSourceLocationRecord record = EncodeSourceLocation(location);
  if (record[SourceModuleOffset + SourceModuleSize - 1] != 0 ||
      record[SourceUnitOffset + SourceUnitSize - 1] != 0 ||
      record[SourceClassOffset + SourceClassSize - 1] != 0 ||
      record[SourceProcedureOffset + SourceProcedureSize - 1] != 0)
    std::abort();
  return 0;
}
