// Just enough of the PE file format for the build tool: the image base and the section table,
// to find the code and to prove that stripping and appending left the loaded image as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TPeSection {
  std::string Name;  // "/n" for names kept in the string table (the debug sections)
  std::uint32_t VirtualAddress = 0;
  std::uint32_t VirtualSize = 0;
  std::uint32_t RawOffset = 0;
  std::uint32_t RawSize = 0;
  std::uint32_t Characteristics = 0;

  bool IsCode() const { return (Characteristics & 0x20) != 0; }
  // Sections the loader maps; the DWARF sections are marked discardable.
  bool IsLoaded() const { return (Characteristics & 0x02000000) == 0; }
};

struct TPeImage {
  std::uint32_t ImageBase = 0;
  std::uint32_t EntryPoint = 0;
  std::uint32_t SizeOfImage = 0;
  std::vector<TPeSection> Sections;

  std::uint64_t CodeSize() const;
};

// Raises std::runtime_error for anything that is not a 32-bit PE image.
TPeImage ParsePeImage(std::span<const std::uint8_t> file);

// Empty when every loaded section of before lies at the same address with the same contents
// in after, and base and entry point agree; else what differs.
std::string CompareLoadedImage(std::span<const std::uint8_t> before,
                               std::span<const std::uint8_t> after);
