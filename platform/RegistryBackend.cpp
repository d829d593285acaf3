#include "platform/RegistryBackend.h"

namespace {

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

IRegistryBackend* installedBackend = nullptr;

}  // namespace

bool RegistryNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool RegistryNameLess(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(FoldCase(a[i]));
    const auto y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

IRegistryBackend& DefaultRegistryBackend() {
  return installedBackend ? *installedBackend : PlatformRegistryBackend();
}

ScopedRegistryBackend::ScopedRegistryBackend(IRegistryBackend& backend)
    : previous_(installedBackend) {
  installedBackend = &backend;
}

ScopedRegistryBackend::~ScopedRegistryBackend() { installedBackend = previous_; }
