#include "delivery/package/ETarGZip.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "delivery/package/ECrc32.h"
#include "delivery/package/EPackageFiles.h"

namespace {

constexpr TDateTime UnixEpoch = 25569;
constexpr std::uint64_t MaxOctal11 = (1ull << 33) - 1;

// The value in octal, right-aligned in digits characters, leading zeros as spaces (the last
// digit always stays), then a space; 8-byte fields end with a zero byte after it.
void PutNumeric(std::uint8_t* field, int digits, std::uint64_t value) {
  for (int i = digits - 1; i >= 0; --i) {
    field[i] = (i == digits - 1 || value != 0) ? static_cast<std::uint8_t>('0' + (value & 7)) : ' ';
    value >>= 3;
  }
  field[digits] = ' ';
}

std::uint64_t TarSeconds(TDateTime time) {
  // Whole milliseconds first, so a time that names a whole second is not truncated to the one
  // before by the binary fraction.
  if (!(time > UnixEpoch)) return 0;
  const double ms = std::round((time - UnixEpoch) * MSecsPerDay);
  const double seconds = std::floor(ms / 1000);
  return seconds >= static_cast<double>(MaxOctal11) ? MaxOctal11
                                                    : static_cast<std::uint64_t>(seconds);
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  const std::size_t dot = fileName.rfind('.');
  std::string result(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
  return result.append(extension);
}

void PutLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

TTarBlock TarHeaderBlock(std::string_view name, std::uint64_t size, TDateTime modified) {
  if (size > MaxOctal11)
    throw EWriteError(
        Format("File too large for the archive: %.*s", static_cast<int>(name.size()), name.data()));
  TTarBlock block{};
  std::memcpy(block.data(), name.data(), std::min<std::size_t>(name.size(), 100));
  PutNumeric(&block[100], 6, 0);
  PutNumeric(&block[108], 6, 0);
  PutNumeric(&block[116], 6, 0);
  PutNumeric(&block[124], 11, size);
  PutNumeric(&block[136], 11, TarSeconds(modified));
  block[156] = '0';
  std::memcpy(&block[257], "ustar   ", 8);
  std::memset(&block[148], ' ', 8);
  std::uint32_t sum = 0;
  for (std::uint8_t byte : block) sum += byte;
  PutNumeric(&block[148], 6, sum);
  block[155] = 0;
  return block;
}

std::vector<std::uint8_t> GZipTarStream(std::span<const std::uint8_t> tar,
                                        std::string_view nameInHeader) {
  if (tar.size() > std::numeric_limits<uInt>::max())
    throw EWriteError("Archive too large to compress.");
  // Magic, deflate, a name follows, time 0, extra flags 0, operating system 0.
  static const std::uint8_t fixed[10] = {0x1F, 0x8B, 8, 8, 0, 0, 0, 0, 0, 0};
  const std::size_t header = sizeof fixed + nameInHeader.size() + 1;
  std::vector<std::uint8_t> out(header);
  std::memcpy(out.data(), fixed, sizeof fixed);
  if (!nameInHeader.empty())
    std::memcpy(out.data() + sizeof fixed, nameInHeader.data(), nameInHeader.size());

  // Raw deflate gives the same bytes as a zlib stream without its 2-byte header and Adler-32
  // trailer, without computing the Adler-32 that would be dropped.
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw EWriteError("Cannot start compression.");
  out.resize(header + deflateBound(&z, static_cast<uLong>(tar.size())));
  z.next_in = const_cast<Bytef*>(tar.data());
  z.avail_in = static_cast<uInt>(tar.size());
  z.next_out = out.data() + header;
  z.avail_out = static_cast<uInt>(out.size() - header);
  const int result = deflate(&z, Z_FINISH);
  const std::size_t produced = z.total_out;
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw EWriteError("Compression of the archive failed.");
  out.resize(header + produced);
  PutLittleEndian32(out, CRC32(tar.data(), tar.size()));
  PutLittleEndian32(out, static_cast<std::uint32_t>(tar.size()));
  return out;
}

std::string ExtractFileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

TTGZWriter::TTGZWriter(std::string fileName) : fileName_(std::move(fileName)) {}

TTGZWriter::~TTGZWriter() {
  if (finished_) return;
  try {
    Finish();
  } catch (const std::exception&) {
  }
}

void TTGZWriter::AddFile(const std::string& path, const std::string& nameInArchive) {
  TPackageFile file = ReadPackageFile(path);
  TMemoryStream data(file.bytes);
  AddStream(data, ExtractFileName(nameInArchive.empty() ? path : nameInArchive), file.modified);
}

void TTGZWriter::AddStream(TStream& stream, std::string_view name, TDateTime modifiedTime) {
  const std::uint64_t size = stream.Remaining();
  const TTarBlock header = TarHeaderBlock(name, size, modifiedTime);
  tar_.Write(header.data(), header.size());
  TTarBlock block;
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t n = left < TarBlockSize ? static_cast<std::size_t>(left) : TarBlockSize;
    block.fill(0);
    stream.ReadBuffer(block.data(), n);
    tar_.Write(block.data(), block.size());
    left -= n;
  }
}

void TTGZWriter::Finish() {
  if (finished_) return;
  finished_ = true;
  const TTarBlock end{};
  tar_.Write(end.data(), end.size());
  const std::vector<std::uint8_t> gzip =
      GZipTarStream(tar_.Bytes(), ChangeFileExt(ExtractFileName(fileName_), ".tar"));
  tar_.Clear();
  WritePackageFile(fileName_, gzip);
}

void CompressFileList(const std::string& archiveName, const std::vector<std::string>& files,
                      const std::function<std::string(const std::string&)>& entryName) {
  DeletePackageFile(archiveName);
  if (files.empty()) return;
  TTGZWriter writer(archiveName);
  for (const std::string& path : files) writer.AddFile(path, entryName ? entryName(path) : "");
  writer.Finish();
}
