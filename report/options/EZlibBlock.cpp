#include "report/options/EZlibBlock.h"

#include <zlib.h>

#include <limits>

namespace {

// zlib's own state owns memory until inflateEnd/deflateEnd; tie those to scope.
struct InflateState {
  z_stream z{};
  bool open = false;
  InflateState() { open = inflateInit(&z) == Z_OK; }
  InflateState(const InflateState&) = delete;
  InflateState& operator=(const InflateState&) = delete;
  ~InflateState() {
    if (open) inflateEnd(&z);
  }
};

struct DeflateState {
  z_stream z{};
  bool open = false;
  DeflateState() { open = deflateInit(&z, 9) == Z_OK; }
  DeflateState(const DeflateState&) = delete;
  DeflateState& operator=(const DeflateState&) = delete;
  ~DeflateState() {
    if (open) deflateEnd(&z);
  }
};

}  // namespace

std::vector<std::uint8_t> DeflateBlock(std::span<const std::uint8_t> data) {
  if (data.size() > std::numeric_limits<uInt>::max())
    throw EZlibError("Configuration data too large to compress.");
  DeflateState state;
  if (!state.open) throw EZlibError("Cannot start compression.");
  std::vector<std::uint8_t> out(deflateBound(&state.z, static_cast<uLong>(data.size())));
  state.z.next_in = const_cast<Bytef*>(data.data());
  state.z.avail_in = static_cast<uInt>(data.size());
  state.z.next_out = out.data();
  state.z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&state.z, Z_FINISH) != Z_STREAM_END) throw EZlibError("Compression failed.");
  out.resize(state.z.total_out);
  return out;
}

std::vector<std::uint8_t> InflateBlock(std::span<const std::uint8_t> data, std::size_t maxSize) {
  if (data.size() > std::numeric_limits<uInt>::max())
    throw EZlibError("Compressed configuration data too large.");
  InflateState state;
  if (!state.open) throw EZlibError("Cannot start decompression.");
  std::vector<std::uint8_t> out;
  std::uint8_t chunk[16384];
  state.z.next_in = const_cast<Bytef*>(data.data());
  state.z.avail_in = static_cast<uInt>(data.size());
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    state.z.next_out = chunk;
    state.z.avail_out = sizeof chunk;
    result = inflate(&state.z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END)
      throw EZlibError("Corrupt compressed configuration data.");
    const std::size_t produced = sizeof chunk - state.z.avail_out;
    if (out.size() + produced > maxSize)
      throw EZlibError("Compressed configuration data inflates beyond its limit.");
    out.insert(out.end(), chunk, chunk + produced);
    // No progress with input left means the stream is truncated.
    if (result == Z_OK && produced == 0 && state.z.avail_in == 0)
      throw EZlibError("Truncated compressed configuration data.");
  }
  if (state.z.avail_in != 0) throw EZlibError("Data after the compressed configuration block.");
  if (out.empty()) throw EZlibError("Compressed configuration block holds no data.");
  return out;
}
