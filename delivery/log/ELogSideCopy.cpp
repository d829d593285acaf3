#include "delivery/log/ELogSideCopy.h"

#include <cstring>

#include "delivery/log/EMD5.h"

namespace {

// The seal: 8 magic bytes, the content length as 8 little-endian bytes, the content's digest.
constexpr char SealMagic[8] = {'D', 'M', 'L', 'O', 'G', 'S', 'V', '1'};
constexpr std::size_t SealSize = 8 + 8 + 16;

}  // namespace

std::string SideCopyFileName(const std::string& logFileName) { return logFileName + ".saving"; }

std::string SealSideCopy(std::string_view content) {
  std::string sealed(content);
  sealed.append(SealMagic, sizeof SealMagic);
  const std::uint64_t length = content.size();
  for (int i = 0; i < 8; ++i) sealed += static_cast<char>(length >> (8 * i));
  const TMD5Digest digest = MD5Digest(content);
  sealed.append(reinterpret_cast<const char*>(digest.data()), digest.size());
  return sealed;
}

std::optional<std::string> UnsealSideCopy(std::string_view sideText) {
  if (sideText.size() < SealSize) return std::nullopt;
  const std::size_t contentSize = sideText.size() - SealSize;
  const char* seal = sideText.data() + contentSize;
  if (std::memcmp(seal, SealMagic, sizeof SealMagic) != 0) return std::nullopt;
  std::uint64_t length = 0;
  for (int i = 0; i < 8; ++i) length |= std::uint64_t{static_cast<unsigned char>(seal[8 + i])} << (8 * i);
  if (length != contentSize) return std::nullopt;
  const std::string_view content = sideText.substr(0, contentSize);
  const TMD5Digest digest = MD5Digest(content);
  if (std::memcmp(seal + 16, digest.data(), digest.size()) != 0) return std::nullopt;
  return std::string(content);
}

void WriteSideCopy(TLogFileSystem& fileSystem, const std::string& logFileName,
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
}

void BreakSideCopySeal(TLogFileSystem& fileSystem, const std::string& logFileName,
                       std::string_view content) {
  const auto side = fileSystem.Open(SideCopyFileName(logFileName), false);
  if (side) side->Overwrite(content.size(), std::string(sizeof SealMagic, '\0'));
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
