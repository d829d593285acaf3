// The named entry points of a loaded PE image, read from its export directory in memory. They
// name the code of system libraries, which carry no tables of ours.
#pragma once

#include <cstdint>
#include <vector>

#include "report/capture/EMemoryReader.h"
#include "report/capture/EModuleSymbolResolver.h"

// The exports of the image loaded at base, as offsets from base. Forwarded exports (they have
// no code in this image) and exports outside the image are left out. Every header, table and
// name is read through memory and checked against imageSize, so a damaged or hostile image
// gives fewer names, never a fault. Empty when the image has no export directory.
std::vector<TNamedOffset> ReadExportNames(const TMemoryReader& memory, std::uint32_t base,
                                          std::uint32_t imageSize);
