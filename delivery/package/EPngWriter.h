// 8-bit palette PNG files: IHDR, a 256-entry PLTE, IDAT chunks of 262143 bytes each but the
// last, IEND.
#pragma once

#include <cstdint>
#include <span>

#include "delivery/package/EOctree.h"
#include "report/options/EStreams.h"

constexpr std::size_t PngIdatChunkSize = 262143;

// Writes width x height palette indices (rows top to bottom, no padding) to out, each row
// behind filter byte 0, deflated at level 9. EWriteError when width or height is 0 or above
// the PNG limit of 2^31 - 1, or indices holds fewer than width x height bytes.
void WritePalettePNG(TStream& out, std::uint32_t width, std::uint32_t height,
                     const TPalette& palette, std::span<const std::uint8_t> indices);
