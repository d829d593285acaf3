// The export-directory reader over random library images: any header, count, table and name
// offset, with a random part of the image unreadable and a random claimed image size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "report/capture/EExportDirectory.h"
#include "report/capture/EMemoryImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  constexpr std::uint32_t base = 0x10000000;
  std::uint16_t claimed, readable;
  std::memcpy(&claimed, data, 2);
  std::memcpy(&readable, data + 2, 2);
  std::vector<std::uint8_t> image(data + 4, data + size);
  const std::size_t split = image.empty() ? 0 : readable % (image.size() + 1);
  TMemoryImage memory;
  if (split > 0) memory.AddRegion(base, {image.begin(), image.begin() + split});
  if (split < image.size())
    memory.AddRegion(base + static_cast<std::uint32_t>(split), {image.begin() + split, image.end()},
                     false);
  for (const TNamedOffset& name : ReadExportNames(memory, base, claimed)) {
    if (name.Offset >= claimed || name.Name.empty()) __builtin_trap();
  }
  return 0;
}
