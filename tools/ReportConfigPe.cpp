#include "tools/ReportConfigPe.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

std::uint32_t U32(std::span<const std::uint8_t> file, std::size_t at) {
  if (at + 4 > file.size()) throw std::runtime_error("truncated PE file");
  std::uint32_t value;
  std::memcpy(&value, file.data() + at, 4);
  return value;
}

std::uint16_t U16(std::span<const std::uint8_t> file, std::size_t at) {
  if (at + 2 > file.size()) throw std::runtime_error("truncated PE file");
  std::uint16_t value;
  std::memcpy(&value, file.data() + at, 2);
  return value;
}

std::span<const std::uint8_t> SectionBytes(std::span<const std::uint8_t> file,
                                           const TPeSection& section) {
  const std::uint32_t size = std::min(section.VirtualSize, section.RawSize);
  if (std::uint64_t{section.RawOffset} + size > file.size())
    throw std::runtime_error("section beyond the end of the file");
  return file.subspan(section.RawOffset, size);
}

}  // namespace

std::uint64_t TPeImage::CodeSize() const {
  std::uint64_t total = 0;
  for (const TPeSection& section : Sections)
    if (section.IsCode()) total += section.VirtualSize;
  return total;
}

TPeImage ParsePeImage(std::span<const std::uint8_t> file) {
  if (U16(file, 0) != 0x5A4D) throw std::runtime_error("not an executable (no MZ header)");
  const std::size_t pe = U32(file, 0x3C);
  if (U32(file, pe) != 0x00004550) throw std::runtime_error("not a PE image");
  const std::size_t coff = pe + 4;
  const std::uint16_t sectionCount = U16(file, coff + 2);
  const std::uint16_t optionalSize = U16(file, coff + 16);
  const std::size_t optional = coff + 20;
  if (U16(file, optional) != 0x10B) throw std::runtime_error("not a 32-bit PE image");
  TPeImage image;
  image.EntryPoint = U32(file, optional + 16);
  image.ImageBase = U32(file, optional + 28);
  image.SizeOfImage = U32(file, optional + 56);
  std::size_t at = optional + optionalSize;
  for (std::uint16_t i = 0; i < sectionCount; ++i, at += 40) {
    if (at + 40 > file.size()) throw std::runtime_error("truncated section table");
    TPeSection section;
    const char* name = reinterpret_cast<const char*>(file.data() + at);
    section.Name.assign(name, strnlen(name, 8));
    section.VirtualSize = U32(file, at + 8);
    section.VirtualAddress = U32(file, at + 12);
    section.RawSize = U32(file, at + 16);
    section.RawOffset = U32(file, at + 20);
    section.Characteristics = U32(file, at + 36);
    image.Sections.push_back(section);
  }
  return image;
}

std::string CompareLoadedImage(std::span<const std::uint8_t> before,
                               std::span<const std::uint8_t> after) {
  const TPeImage a = ParsePeImage(before);
  const TPeImage b = ParsePeImage(after);
  if (a.ImageBase != b.ImageBase) return "image base differs";
  if (a.EntryPoint != b.EntryPoint) return "entry point differs";
  for (const TPeSection& section : a.Sections) {
    if (!section.IsLoaded() || section.Name.starts_with("/") || section.Name.starts_with(".debug"))
      continue;
    const auto match = std::find_if(b.Sections.begin(), b.Sections.end(), [&](const auto& s) {
      return s.Name == section.Name && s.VirtualAddress == section.VirtualAddress;
    });
    if (match == b.Sections.end()) return "section " + section.Name + " moved or vanished";
    if (match->VirtualSize != section.VirtualSize)
      return "section " + section.Name + " changed its size";
    const auto x = SectionBytes(before, section);
    const auto y = SectionBytes(after, *match);
    if (x.size() != y.size() || !std::equal(x.begin(), x.end(), y.begin()))
      return "section " + section.Name + " changed its contents";
  }
  return {};
}
