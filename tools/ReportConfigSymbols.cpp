#include "tools/ReportConfigSymbols.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

bool ParseUnsigned(std::string_view text, int base, std::uint64_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool StartsWithWord(std::string_view text, std::size_t at, std::string_view word) {
  if (text.substr(at, word.size()) != word) return false;
  if (at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_'))
    return false;
  const std::size_t after = at + word.size();
  return after >= text.size() ||
         !(std::isalnum(static_cast<unsigned char>(text[after])) || text[after] == '_');
}

std::string_view StripSuffixes(std::string_view name) {
  bool changed = true;
  while (changed) {
    changed = false;
    if (name.ends_with("]")) {
      const std::size_t clone = name.rfind(" [clone ");
      if (clone != std::string_view::npos) {
        name = name.substr(0, clone);
        changed = true;
      }
    }
    for (std::string_view suffix : {" const", " volatile", " &&", " &", " noexcept"}) {
      if (name.ends_with(suffix)) {
        name.remove_suffix(suffix.size());
        changed = true;
      }
    }
  }
  return name;
}

}  // namespace

std::vector<TToolSymbol> ParseNmOutput(std::string_view text) {
  std::vector<TToolSymbol> symbols;
  for (std::string_view line : Lines(text)) {
    // "0040156a T TClock::Tick(int)"
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4 || line[space + 2] != ' ')
      continue;
    const char type = line[space + 1];
    if (type != 'T' && type != 't' && type != 'W' && type != 'w') continue;
    std::uint64_t address = 0;
    if (!ParseUnsigned(line.substr(0, space), 16, address) || address > 0xFFFFFFFFu) continue;
    const std::string_view name = line.substr(space + 3);
    if (name.empty() || name.front() == '.') continue;
    symbols.push_back({static_cast<std::uint32_t>(address), std::string(name)});
  }
  return symbols;
}

std::vector<TToolLineRow> ParseDecodedLines(std::string_view text) {
  const auto lines = Lines(text);
  const auto headerOf = [](std::string_view line) -> std::string_view {
    if (line.empty() || line.back() != ':' || line.find("file format") != std::string_view::npos ||
        line.starts_with("Contents of"))
      return {};
    line.remove_suffix(1);
    if (line.starts_with("CU: ")) line.remove_prefix(4);
    return line;
  };
  // Rows name their file by base name only. Under a header of the same file the header gives
  // the path; right after a compilation unit's header (with link-time optimisation an
  // artificial one) the path comes from the one header anywhere that has that base name.
  std::map<std::string, std::string, std::less<>> pathOf;
  for (std::string_view line : lines) {
    const std::string_view header = headerOf(line);
    if (header.empty()) continue;
    auto [it, added] = pathOf.emplace(std::string(BaseName(header)), std::string(header));
    if (!added && it->second != header) it->second.clear();
  }

  std::vector<TToolLineRow> rows;
  std::string header;
  for (std::string_view line : lines) {
    if (line.empty() || line.starts_with("File name")) continue;
    if (const std::string_view h = headerOf(line); !h.empty()) {
      header = h;
      continue;
    }
    const auto tokens = Tokens(line);
    std::size_t at = 1;
    while (at < tokens.size() && !tokens[at].starts_with("0x") && !(tokens[at] == "0" && at >= 2))
      ++at;
    if (at < 2 || at >= tokens.size()) continue;
    std::uint64_t address = 0;
    std::string_view hex = tokens[at];
    if (hex.starts_with("0x")) hex.remove_prefix(2);
    if (!ParseUnsigned(hex, 16, address) || address > 0xFFFFFFFFu) continue;
    std::uint64_t lineNumber = 0;
    if (tokens[at - 1] != "-" && (!ParseUnsigned(tokens[at - 1], 10, lineNumber) ||
                                  lineNumber == 0 || lineNumber > 0xFFFFFFFFu))
      continue;
    std::string_view rowFile =
        line.substr(0, static_cast<std::size_t>(tokens[at - 1].data() - line.data()));
    while (!rowFile.empty() && (rowFile.back() == ' ' || rowFile.back() == '\t'))
      rowFile.remove_suffix(1);
    std::string file(rowFile);
    if (BaseName(header) == rowFile) {
      file = header;
    } else if (const auto known = pathOf.find(rowFile);
               known != pathOf.end() && !known->second.empty()) {
      file = known->second;
    }
    rows.push_back({static_cast<std::uint32_t>(address), static_cast<std::uint32_t>(lineNumber),
                    std::move(file)});
  }
  return rows;
}

// The call-stack block makes its Class column as wide as the longest class name, so a scope
// that spells out whole template and parameter lists would widen every row of the report.
constexpr std::size_t LongestPlainScope = 64;

std::string ShortenScope(std::string_view scope) {
  if (scope.size() <= LongestPlainScope) return std::string(scope);
  std::string shortened;
  int depth = 0;
  for (const char c : scope) {
    const bool opens = c == '<' || c == '(';
    const bool closes = (c == '>' || c == ')') && depth > 0;
    if (closes && --depth == 0) shortened += "...";
    if (depth == 0) shortened += c;
    if (opens) ++depth;
  }
  return shortened;
}

TQualifiedName SplitQualifiedName(std::string_view demangled) {
  std::string_view name = StripSuffixes(demangled);
  if (name.ends_with(")")) {
    int depth = 0;
    for (std::size_t i = name.size(); i-- > 0;) {
      if (name[i] == ')') ++depth;
      if (name[i] == '(' && --depth == 0) {
        // "operator()" keeps its own parentheses.
        if (i > 0) name = name.substr(0, i);
        break;
      }
    }
  }
  std::size_t start = 0;
  std::size_t lastSeparator = std::string_view::npos;
  int depth = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (depth == 0 && StartsWithWord(name, i, "operator")) break;
    if (c == '<' || c == '(' || c == '{' || c == '[') ++depth;
    if ((c == '>' || c == ')' || c == '}' || c == ']') && depth > 0) --depth;
    if (depth != 0) continue;
    if (c == ' ') {
      start = i + 1;
      lastSeparator = std::string_view::npos;
    } else if (c == ':' && i + 1 < name.size() && name[i + 1] == ':') {
      lastSeparator = i;
      ++i;
    }
  }
  if (lastSeparator == std::string_view::npos || lastSeparator < start)
    return {{}, std::string(name.substr(start))};
  return {ShortenScope(name.substr(start, lastSeparator - start)),
          std::string(name.substr(lastSeparator + 2))};
}

TDebugInfo BuildDebugInfo(const std::vector<TToolSymbol>& symbols,
                          const std::vector<TToolLineRow>& rows, std::uint32_t imageBase,
                          std::string_view sourceRoot) {
  std::string root(sourceRoot);
  if (!root.empty() && root.back() != '/') root += '/';
  const auto ownUnit = [&root](const std::string& file) -> std::string {
    if (root.size() <= 1 || !file.starts_with(root)) return {};
    return file.substr(root.size());
  };

  // Boundaries: every symbol and every end of a line sequence.
  std::set<std::uint32_t> boundaries;
  for (const TToolSymbol& symbol : symbols) boundaries.insert(symbol.Address);
  // Own rows by address, in listing order (the last row at an address is the one in force).
  std::map<std::uint32_t, std::vector<std::pair<std::string, std::uint32_t>>> own;
  for (const TToolLineRow& row : rows) {
    if (row.Line == 0) {
      boundaries.insert(row.Address);
      continue;
    }
    std::string unit = ownUnit(row.File);
    if (!unit.empty()) own[row.Address].emplace_back(std::move(unit), row.Line);
  }

  // One name per entry address: the first in name order, so aliases resolve the same way
  // every build.
  std::map<std::uint32_t, std::string> entries;
  for (const TToolSymbol& symbol : symbols) {
    auto [it, added] = entries.emplace(symbol.Address, symbol.Name);
    if (!added && symbol.Name < it->second) it->second = symbol.Name;
  }

  TDebugInfo info;
  for (const auto& [address, name] : entries) {
    if (address < imageBase) continue;
    const auto next = boundaries.upper_bound(address);
    if (next == boundaries.end()) continue;
    const std::uint32_t end = *next;
    const TQualifiedName qualified = SplitQualifiedName(name);
    const auto atEntry = own.find(address);
    if (atEntry == own.end()) {
      // Code the program links but did not write (the C and C++ runtimes, libraries): its
      // name without a unit or lines.
      info.AddProcedure(address - imageBase, end - address, "", qualified.ClassName,
                        qualified.Procedure, {});
      continue;
    }
    const std::string unit = atEntry->second.front().first;

    std::vector<TDebugLine> lines;
    for (auto row = atEntry; row != own.end() && row->first < end; ++row) {
      std::uint32_t line = 0;
      for (const auto& [file, number] : row->second)
        if (file == unit) line = number;
      if (line == 0) continue;
      if (!lines.empty() && lines.back().Line == line) continue;
      lines.push_back({row->first - imageBase, line});
    }
    info.AddProcedure(address - imageBase, end - address, unit, qualified.ClassName,
                      qualified.Procedure, lines);
  }
  return info;
}
