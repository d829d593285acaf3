#include "platform/AnsiText.h"

WideString AnsiToWide(std::string_view text) {
  WideString wide;
  wide.reserve(text.size());
  for (const char c : text) wide.push_back(static_cast<WCHAR>(static_cast<unsigned char>(c)));
  return wide;
}

std::string WideToAnsi(WideStringView text) {
  std::string ansi;
  ansi.reserve(text.size());
  for (const WCHAR c : text) ansi.push_back(c < 256 ? static_cast<char>(c) : '?');
  return ansi;
}

int PlatformId() { return 2; }
