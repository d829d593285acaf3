#include <zlib.h>

#include <limits>

#include "delivery/package/ECrc32.h"
#include "delivery/package/ETarGZip.h"

namespace {

enum : std::uint8_t { FTEXT = 1, FHCRC = 2, FEXTRA = 4, FNAME = 8, FCOMMENT = 16 };

class RawInflate {
 public:
  RawInflate() {
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw EGZipError("Cannot start decompression.");
  }
  RawInflate(const RawInflate&) = delete;
  RawInflate& operator=(const RawInflate&) = delete;
  ~RawInflate() { inflateEnd(&z); }
  z_stream z{};
};

// Reads one member starting at pos; returns the offset after its trailer.
std::size_t ReadMember(const std::vector<std::uint8_t>& in, std::size_t pos, TStream& target) {
  const auto need = [&](std::size_t n) {
    if (in.size() - pos < n) throw EGZipError("Truncated gzip header.");
  };
  need(10);
  if (in[pos] != 0x1F || in[pos + 1] != 0x8B) throw EGZipError("Not gzip data.");
  if (in[pos + 2] != 8) throw EGZipError("Unknown gzip compression method.");
  const std::uint8_t flags = in[pos + 3];
  if (flags & 0xE0) throw EGZipError("Reserved gzip header flags are set.");
  const std::size_t headerStart = pos;
  pos += 10;
  if (flags & FEXTRA) {
    need(2);
    const std::size_t length = in[pos] | static_cast<std::size_t>(in[pos + 1]) << 8;
    pos += 2;
    need(length);
    pos += length;
  }
  for (const std::uint8_t field : {FNAME, FCOMMENT}) {
    if (!(flags & field)) continue;
    while (pos < in.size() && in[pos] != 0) ++pos;
    need(1);
    ++pos;
  }
  if (flags & FHCRC) {
    need(2);
    const std::uint32_t crc = CRC32(in.data() + headerStart, pos - headerStart);
    if (static_cast<std::uint32_t>(in[pos] | in[pos + 1] << 8) != (crc & 0xFFFF))
      throw EGZipError("Bad gzip header CRC.");
    pos += 2;
  }

  RawInflate state;
  std::uint8_t chunk[65536];
  std::uint32_t crc = 0;
  std::uint32_t size = 0;
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    const std::size_t left = in.size() - pos;
    state.z.next_in = const_cast<Bytef*>(in.data() + pos);
    state.z.avail_in =
        static_cast<uInt>(std::min<std::size_t>(left, std::numeric_limits<uInt>::max()));
    state.z.next_out = chunk;
    state.z.avail_out = sizeof chunk;
    result = inflate(&state.z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) {
      if (result == Z_BUF_ERROR) throw EGZipError("Truncated gzip data.");
      throw EGZipError("Corrupt gzip data.");
    }
    pos = static_cast<std::size_t>(state.z.next_in - in.data());
    const std::size_t produced = sizeof chunk - state.z.avail_out;
    target.Write(chunk, produced);
    crc = CRC32(chunk, produced, crc);
    size += static_cast<std::uint32_t>(produced);
    if (result == Z_OK && produced == 0 && pos == in.size())
      throw EGZipError("Truncated gzip data.");
  }
  if (in.size() - pos < 8) throw EGZipError("Truncated gzip trailer.");
  const auto le32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(in[at]) | static_cast<std::uint32_t>(in[at + 1]) << 8 |
           static_cast<std::uint32_t>(in[at + 2]) << 16 |
           static_cast<std::uint32_t>(in[at + 3]) << 24;
  };
  if (le32(pos) != crc) throw EGZipError("gzip data fails its CRC check.");
  if (le32(pos + 4) != size) throw EGZipError("gzip data has the wrong length.");
  return pos + 8;
}

}  // namespace

void ReadGZip(TStream& source, TStream& target) {
  const std::uint64_t remaining = source.Remaining();
  if (remaining > std::numeric_limits<std::size_t>::max()) throw EGZipError("gzip data too large.");
  std::vector<std::uint8_t> in(static_cast<std::size_t>(remaining));
  source.ReadBuffer(in.data(), in.size());
  std::size_t pos = ReadMember(in, 0, target);
  while (pos < in.size()) {
    if (in[pos] == 0) {
      // Padding left by tape blocking and some writers.
      ++pos;
      continue;
    }
    pos = ReadMember(in, pos, target);
  }
}
