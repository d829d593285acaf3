// Random exception handler tables, bases and call addresses: reading them must end with an
// answer, whatever the bytes say.
#include <cstdint>
#include <vector>

#include "report/capture/EHandlerTables.h"
#include "report/capture/EMemoryImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  constexpr std::uint32_t table = 0x00500000;
  TMemoryImage image;
  image.AddRegion(table, std::vector<std::uint8_t>(data + 6, data + size));
  TFrameTables frame;
  frame.Lsda = table;
  frame.RegionStart = 0x00401000;
  frame.Ip = frame.RegionStart + (data[0] | data[1] << 8);
  frame.TextBase = table + data[2];
  frame.DataBase = table - data[3];
  const std::uint8_t takes = data[4];
  int asked = 0;
  InspectFrameTables(image, frame, [&](std::uint32_t type) {
    ++asked;
    return ((type ^ takes) & 7) == 0;
  });
  return 0;
}
