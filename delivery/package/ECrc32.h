// The standard CRC-32 (reflected polynomial 0xEDB88320, all ones in, complemented out) that
// gzip trailers and PNG chunks carry.
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of length bytes. Passing a previous result as crc continues it over more data,
// so CRC32(b, nb, CRC32(a, na)) is the CRC-32 of a followed by b.
std::uint32_t CRC32(const void* data, std::size_t length, std::uint32_t crc = 0);
