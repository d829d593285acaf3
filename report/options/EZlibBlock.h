// zlib blocks of the configuration container, with a ceiling on what inflation may produce so
// that a hostile container cannot make the loader allocate without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "report/options/EStreams.h"

DM_DECLARE_EXCEPTION(EZlibError, EReadError)

// Deflates at level 9.
std::vector<std::uint8_t> DeflateBlock(std::span<const std::uint8_t> data);
// Inflates one complete zlib stream. EZlibError when the data is corrupt, truncated, followed
// by anything, larger than maxSize when inflated, or inflates to nothing.
std::vector<std::uint8_t> InflateBlock(std::span<const std::uint8_t> data, std::size_t maxSize);
