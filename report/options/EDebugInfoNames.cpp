#include "report/options/EDebugInfoNames.h"

#include <span>

#include "delivery/log/ECallStackNames.h"

namespace {

constexpr char PlainCheck[4] = {'M', 'D', 'D', 'I'};

template <typename Rename>
TDebugInfo Renamed(const TDebugInfo& info, bool enciphered, Rename rename) {
  TDebugInfo out;
  const std::vector<std::string> strings = info.Strings();
  const std::vector<TDebugLine> lines = info.Lines();  // procedure by procedure
  std::size_t first = 0;
  for (const TDebugProcedure& p : info.Procedures()) {
    const TCallStackNames names = rename(TCallStackNames{strings[p.Unit], strings[p.ClassName], strings[p.Name]});
    out.AddProcedure(p.Start, p.Size, names.Unit, names.Class, names.Procedure,
                     std::span(lines).subspan(first, p.LineCount));
    first += p.LineCount;
  }
  out.SetNamesEnciphered(enciphered);
  return out;
}

std::uint32_t LittleEndianWord(std::string_view bytes) {
  std::uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = word << 8 | static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
  return word;
}

}  // namespace

TDebugInfo EncipherDebugInfoNames(const TDebugInfo& info, std::string_view password) {
  const TCipherKey key = CipherKeyFromPassword(password);
  return Renamed(info, true, [&](const TCallStackNames& names) { return EncipherCallStackNames(names, key); });
}

TDebugInfo DecipherDebugInfoNames(const TDebugInfo& info, std::string_view password) {
  if (!info.NamesEnciphered()) return info;
  const TCipherKey key = CipherKeyFromPassword(password);
  return Renamed(info, false, [&](const TCallStackNames& cells) { return DecipherCallStackNames(cells, key); });
}

std::uint32_t DebugInfoCheckWord(std::string_view password) {
  const std::string_view plain(PlainCheck, sizeof PlainCheck);
  if (password.empty()) return LittleEndianWord(plain);
  return LittleEndianWord(EncipherText(CipherKeyFromPassword(password), plain));
}
