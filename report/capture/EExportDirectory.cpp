#include "report/capture/EExportDirectory.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// More names than any real library exports; a larger count is a damaged directory.
constexpr std::uint32_t MaxExportNames = 0x10000;
constexpr std::uint32_t MaxNameLength = 512;

struct TExportDirectory {
  std::uint32_t Rva = 0, Size = 0;
  std::uint32_t FunctionCount = 0, NameCount = 0;
  std::uint32_t Functions = 0, Names = 0, Ordinals = 0;
};

bool InImage(std::uint32_t rva, std::uint64_t size, std::uint32_t imageSize) {
  return rva < imageSize && size <= imageSize - rva;
}

bool ReadDirectory(const TMemoryReader& memory, std::uint32_t base, std::uint32_t imageSize,
                   TExportDirectory& dir) {
  std::uint16_t magic = 0;
  std::uint32_t ntOffset = 0;
  if (!memory.Read(base, &magic, 2) || magic != 0x5A4D) return false;  // "MZ"
  if (!memory.ReadU32(base + 0x3C, ntOffset) || !InImage(ntOffset, 0x78 + 8, imageSize))
    return false;
  std::uint32_t signature = 0;
  std::uint16_t optionalMagic = 0;
  if (!memory.ReadU32(base + ntOffset, signature) || signature != 0x4550) return false;  // "PE"
  // The optional header follows the 4-byte signature and the 20-byte file header.
  const std::uint32_t optional = base + ntOffset + 24;
  if (!memory.Read(optional, &optionalMagic, 2) || optionalMagic != 0x10B) return false;
  std::uint32_t directoryCount = 0;
  if (!memory.ReadU32(optional + 92, directoryCount) || directoryCount == 0) return false;
  if (!memory.ReadU32(optional + 96, dir.Rva) || !memory.ReadU32(optional + 100, dir.Size))
    return false;
  if (dir.Rva == 0 || !InImage(dir.Rva, 40, imageSize)) return false;
  std::uint32_t fields[5];
  if (!memory.Read(base + dir.Rva + 0x14, fields, sizeof fields)) return false;
  dir.FunctionCount = fields[0];
  dir.NameCount = fields[1];
  dir.Functions = fields[2];
  dir.Names = fields[3];
  dir.Ordinals = fields[4];
  return dir.NameCount <= MaxExportNames && dir.FunctionCount <= MaxExportNames &&
         InImage(dir.Functions, std::uint64_t{dir.FunctionCount} * 4, imageSize) &&
         InImage(dir.Names, std::uint64_t{dir.NameCount} * 4, imageSize) &&
         InImage(dir.Ordinals, std::uint64_t{dir.NameCount} * 2, imageSize);
}

bool ReadName(const TMemoryReader& memory, std::uint32_t address, std::uint32_t limit,
              std::string& name) {
  char buffer[MaxNameLength];
  const std::uint32_t span = memory.ReadableSpan(address, std::min(limit, MaxNameLength));
  if (span == 0 || !memory.Read(address, buffer, span)) return false;
  const void* end = std::memchr(buffer, 0, span);
  if (!end || end == buffer) return false;
  name.assign(buffer, static_cast<std::size_t>(static_cast<const char*>(end) - buffer));
  return true;
}

}  // namespace

std::vector<TNamedOffset> ReadExportNames(const TMemoryReader& memory, std::uint32_t base,
                                          std::uint32_t imageSize) {
  std::vector<TNamedOffset> result;
  TExportDirectory dir;
  if (!ReadDirectory(memory, base, imageSize, dir) || dir.NameCount == 0) return result;
  std::vector<std::uint32_t> functions(dir.FunctionCount), names(dir.NameCount);
  std::vector<std::uint16_t> ordinals(dir.NameCount);
  if (!memory.Read(base + dir.Functions, functions.data(), dir.FunctionCount * 4) ||
      !memory.Read(base + dir.Names, names.data(), dir.NameCount * 4) ||
      !memory.Read(base + dir.Ordinals, ordinals.data(), dir.NameCount * 2))
    return result;
  result.reserve(dir.NameCount);
  std::string name;
  for (std::uint32_t i = 0; i < dir.NameCount; ++i) {
    if (ordinals[i] >= dir.FunctionCount) continue;
    const std::uint32_t code = functions[ordinals[i]];
    const bool forwarded = code - dir.Rva < dir.Size;
    if (code == 0 || code >= imageSize || forwarded || names[i] >= imageSize) continue;
    if (ReadName(memory, base + names[i], imageSize - names[i], name))
      result.push_back({code, name});
  }
  return result;
}
