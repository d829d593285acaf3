#include "delivery/log/ECallStackNames.h"

#include "delivery/mail/EBase64.h"

namespace {

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// C++ scopes ("TApplication::Dispatch<...>(...)"), operators and repository paths
// ("crashlab/CrashLab.cpp") are names here too.
bool IsNameText(std::string_view name) {
  for (const char c : name) {
    if (c < 0x20 || c > 0x7E || c == '|') return false;
  }
  return true;
}

std::optional<std::string> DecipherCell(std::string_view cell, std::size_t skip,
                                        const TCipherKey& key) {
  if (cell.size() < skip) return std::nullopt;
  const std::optional<std::string> bytes = DecodeBase64Text(cell.substr(skip));
  if (!bytes) return std::nullopt;
  return DecipherText(key, *bytes);
}

bool HasExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos && dot + 1 < name.size();
}

}  // namespace

std::optional<std::string> DecodeBase64Text(std::string_view text) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  if (text.size() % 4 == 1) return std::nullopt;
  std::string out;
  std::uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    const int sextet = SextetOf(c);
    if (sextet < 0) return std::nullopt;
    bits = bits << 6 | static_cast<std::uint32_t>(sextet);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16);
      out += static_cast<char>(bits >> 8);
      out += static_cast<char>(bits);
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) out += static_cast<char>(bits >> 4);
  if (count == 3) {
    out += static_cast<char>(bits >> 10);
    out += static_cast<char>(bits >> 2);
  }
  return out;
}


TCallStackNames DecipherCallStackNames(const TCallStackNames& cells, const TCipherKey& key) {
  if (cells.Unit.size() < 2 || cells.Unit[0] != '?') return cells;
  const std::string_view defaultExtension = cells.Unit[1] == 'p' ? ".pas" : ".cpp";
  const auto unit = DecipherCell(cells.Unit, 2, key);
  const auto procedure = DecipherCell(cells.Procedure, 1, key);
  if (!unit || !procedure) return cells;
  TCallStackNames names{*unit, {}, *procedure};
  const std::size_t dot = procedure->find('.');
  if (cells.Class.empty() && dot != std::string::npos) {
    names.Class = procedure->substr(0, dot);
    names.Procedure = procedure->substr(dot + 1);
  } else if (!cells.Class.empty()) {
    const auto cls = DecipherCell(cells.Class, 1, key);
    if (!cls) return cells;
    names.Class = *cls;
  }
  if (!HasExtension(names.Unit)) names.Unit += defaultExtension;
  if (!IsNameText(names.Unit) || !IsNameText(names.Class) || !IsNameText(names.Procedure))
    return cells;
  if (!names.Procedure.empty() && names.Procedure[0] == '@') names.Procedure[0] = '_';
  return names;
}

TCallStackNames EncipherCallStackNames(const TCallStackNames& names, const TCipherKey& key) {
  const bool pascal = names.Unit.ends_with(".pas");
  return {std::string("?") + (pascal ? 'p' : 'c') + Base64Encode(EncipherText(key, names.Unit)),
          "?" + Base64Encode(EncipherText(key, names.Class)),
          "?" + Base64Encode(EncipherText(key, names.Procedure))};
}
