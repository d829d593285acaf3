#include "delivery/log/ELogSideCopy.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

// The seal: 8 magic bytes, the content length as 8 little-endian bytes, the content's CRC-32
// as 4. The check only has to catch blocks a power cut left unwritten, not an adversary, and
// a CRC does that at a fraction of a digest's cost.
constexpr char SealMagic[8] = {'D', 'M', 'L', 'O', 'G', 'S', 'V', '2'};
constexpr std::size_t SealSize = 8 + 8 + 4;

std::uint32_t ContentCheck(std::string_view content) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (!content.empty()) {
    const uInt piece = static_cast<uInt>(std::min<std::size_t>(content.size(), 1u << 30));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(content.data()), piece);
    content.remove_prefix(piece);
  }
  return static_cast<std::uint32_t>(crc);
}

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(const char* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= std::uint64_t{static_cast<unsigned char>(in[i])} << (8 * i);
  return value;
}

}  // namespace

std::string SideCopyFileName(const std::string& logFileName) { return logFileName + ".saving"; }

std::string SealSideCopy(std::string_view content) {
  std::string sealed;
  sealed.reserve(content.size() + SealSize);
  sealed.append(content);
  sealed.append(SealMagic, sizeof SealMagic);
  PutLittleEndian(sealed, content.size(), 8);
  PutLittleEndian(sealed, ContentCheck(content), 4);
  return sealed;
}

std::optional<std::string> UnsealSideCopy(std::string_view sideText) {
  if (sideText.size() < SealSize) return std::nullopt;
  const std::size_t contentSize = sideText.size() - SealSize;
  const char* seal = sideText.data() + contentSize;
  if (std::memcmp(seal, SealMagic, sizeof SealMagic) != 0) return std::nullopt;
  if (GetLittleEndian(seal + 8, 8) != contentSize) return std::nullopt;
  const std::string_view content = sideText.substr(0, contentSize);
  if (GetLittleEndian(seal + 16, 4) != ContentCheck(content)) return std::nullopt;
  return std::string(content);
}

std::unique_ptr<TLogFileHandle> WriteSideCopy(TLogFileSystem& fileSystem,
                                              const std::string& logFileName,
                                              std::string_view content) {
  const std::string name = SideCopyFileName(logFileName);
  std::unique_ptr<TLogFileHandle> side;
  try {
    side = fileSystem.Open(name, false);
  } catch (const EFOpenError&) {
    // A side file that cannot be opened is made anew.
  }
  if (!side) side = fileSystem.Create(name);
  side->Rewrite(SealSideCopy(content));
  return side;
}

void BreakSideCopySeal(TLogFileHandle& side, std::string_view content) {
  side.Overwrite(content.size(), std::string(sizeof SealMagic, '\0'));
}

void BreakSideCopySeal(TLogFileSystem& fileSystem, const std::string& logFileName,
                       std::string_view content) {
  const auto side = fileSystem.Open(SideCopyFileName(logFileName), false);
  if (side) BreakSideCopySeal(*side, content);
}

std::optional<std::string> ReadSideCopy(TLogFileSystem& fileSystem,
                                        const std::string& logFileName) {
  try {
    const auto side = fileSystem.Open(SideCopyFileName(logFileName), true);
    // The seal's magic is read first: after every finished save it is broken.
    if (!side || side->ReadTail(SealSize).compare(0, sizeof SealMagic, SealMagic, sizeof SealMagic) != 0)
      return std::nullopt;
    return UnsealSideCopy(side->ReadAll());
  } catch (const EStreamError&) {
    // A side copy that cannot be read cannot be trusted either; the log file itself decides.
    return std::nullopt;
  }
}
