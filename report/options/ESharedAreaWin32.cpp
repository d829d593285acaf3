#include "report/options/ESharedAreaWin32.h"

#include <cstdio>
#include <cstring>

std::string SharedAreaName(const char* prefix, HMODULE module, DWORD processId) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%08X%08X", prefix,
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module)),
                static_cast<unsigned>(processId));
  return name;
}

std::optional<TSharedArea> TSharedArea::Create(const std::string& name,
                                               std::span<const std::uint8_t> data) {
  const std::uint32_t size = static_cast<std::uint32_t>(data.size());
  UniqueKernelHandle mapping(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size + 4, name.c_str()));
  if (!mapping) return std::nullopt;
  // An area still held by another opener keeps its old size; the view below fails then rather
  // than writing past its end.
  UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, size + 4));
  if (!view) return std::nullopt;
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(view.get(), &info, sizeof info) == 0 || info.RegionSize < size + 4)
    return std::nullopt;
  auto* bytes = static_cast<std::uint8_t*>(view.get());
  std::memcpy(bytes, &size, 4);
  if (size) std::memcpy(bytes + 4, data.data(), size);
  return TSharedArea(name, std::move(mapping));
}

std::optional<std::vector<std::uint8_t>> ReadSharedArea(const std::string& name) {
  UniqueKernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
  if (!mapping) return std::nullopt;
  std::uint32_t size = 0;
  {
    UniqueMappedView head(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 4));
    if (!head) return std::nullopt;
    std::memcpy(&size, head.get(), 4);
  }
  if (size > 0x7FFFFFF0u) return std::nullopt;
  UniqueMappedView whole(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, size + 4));
  if (!whole) return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(whole.get());
  return std::vector<std::uint8_t>(bytes + 4, bytes + 4 + size);
}
