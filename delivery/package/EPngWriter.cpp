#include "delivery/package/EPngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "delivery/package/ECrc32.h"

namespace {

constexpr int PngMaxChain = 64;

void PutBigEndian32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value >> 24);
  at[1] = static_cast<std::uint8_t>(value >> 16);
  at[2] = static_cast<std::uint8_t>(value >> 8);
  at[3] = static_cast<std::uint8_t>(value);
}

void WriteChunk(TStream& out, const char (&type)[5], const std::uint8_t* data, std::size_t size) {
  std::uint8_t head[8];
  PutBigEndian32(head, static_cast<std::uint32_t>(size));
  std::copy(type, type + 4, head + 4);
  std::uint8_t tail[4];
  PutBigEndian32(tail, CRC32(data, size, CRC32(type, 4)));
  out.Write(head, sizeof head);
  out.Write(data, size);
  out.Write(tail, sizeof tail);
}

// The zlib stream of the rows; a full output buffer becomes an IDAT chunk at once, so every
// chunk but the last holds exactly the buffer's size.
class IdatWriter {
 public:
  explicit IdatWriter(TStream& out) : out_(out), buffer_(PngIdatChunkSize) {
    if (deflateInit(&z_, 9) != Z_OK) throw EWriteError("Cannot start compression.");
    // Level 9 follows hash chains of up to 4096 earlier positions; on screen text (few
    // colours, short repeats) that takes over a second for one full-HD screen. A chain of 64
    // keeps level 9's lazy matching, takes a tenth of the time and about 7% more bytes.
    deflateTune(&z_, 32, 258, 258, PngMaxChain);
    z_.next_out = buffer_.data();
    z_.avail_out = static_cast<uInt>(buffer_.size());
  }
  IdatWriter(const IdatWriter&) = delete;
  IdatWriter& operator=(const IdatWriter&) = delete;
  ~IdatWriter() { deflateEnd(&z_); }

  void Feed(const std::uint8_t* data, std::size_t size) {
    z_.next_in = const_cast<Bytef*>(data);
    z_.avail_in = static_cast<uInt>(size);
    while (z_.avail_in > 0) {
      if (deflate(&z_, Z_NO_FLUSH) == Z_STREAM_ERROR) throw EWriteError("Compression failed.");
      FlushWhenFull();
    }
  }

  void Finish() {
    int result;
    do {
      result = deflate(&z_, Z_FINISH);
      if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
        throw EWriteError("Compression failed.");
      FlushWhenFull();
    } while (result != Z_STREAM_END);
    const std::size_t left = buffer_.size() - z_.avail_out;
    if (left > 0) WriteChunk(out_, "IDAT", buffer_.data(), left);
  }

 private:
  void FlushWhenFull() {
    if (z_.avail_out != 0) return;
    WriteChunk(out_, "IDAT", buffer_.data(), buffer_.size());
    z_.next_out = buffer_.data();
    z_.avail_out = static_cast<uInt>(buffer_.size());
  }

  TStream& out_;
  std::vector<std::uint8_t> buffer_;
  z_stream z_{};
};

}  // namespace

void WritePalettePNG(TStream& out, std::uint32_t width, std::uint32_t height,
                     const TPalette& palette, std::span<const std::uint8_t> indices) {
  constexpr std::uint32_t PngLimit = 0x7FFFFFFF;
  if (width == 0 || height == 0 || width > PngLimit || height > PngLimit)
    throw EWriteError("A PNG picture needs a width and height of 1 to 2^31 - 1.");
  if (indices.size() / width < height) throw EWriteError("Too few pixels for the picture.");

  static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  out.Write(signature, sizeof signature);
  std::uint8_t header[13] = {};
  PutBigEndian32(header, width);
  PutBigEndian32(header + 4, height);
  header[8] = 8;  // bits per index
  header[9] = 3;  // palette colour
  WriteChunk(out, "IHDR", header, sizeof header);
  std::uint8_t plte[768];
  for (std::size_t i = 0; i < palette.size(); ++i) {
    plte[3 * i] = palette[i].red;
    plte[3 * i + 1] = palette[i].green;
    plte[3 * i + 2] = palette[i].blue;
  }
  WriteChunk(out, "PLTE", plte, sizeof plte);
  {
    IdatWriter idat(out);
    static const std::uint8_t filterNone = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
      idat.Feed(&filterNone, 1);
      idat.Feed(indices.data() + static_cast<std::size_t>(y) * width, width);
    }
    idat.Finish();
  }
  WriteChunk(out, "IEND", nullptr, 0);
}
