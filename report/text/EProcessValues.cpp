#include "report/text/EProcessValues.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The item starting at pos (after any separators), quotes removed; pos moves past it.
bool NextItem(std::string_view line, std::size_t& pos, std::string& item) {
  while (pos < line.size() && IsSeparator(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  item.clear();
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && IsSeparator(c))
      break;
    else
      item += c;
  }
  return true;
}

}  // namespace

std::vector<std::string> CommandLineParameters(std::string_view commandLine) {
  std::vector<std::string> result;
  std::size_t pos = 0;
  std::string item;
  if (!NextItem(commandLine, pos, item)) return result;
  while (NextItem(commandLine, pos, item)) result.push_back(item);
  return result;
}

std::string DriveRootOf(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2)) + "\\";
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    const std::size_t server = path.find('\\', 2);
    if (server == std::string_view::npos || server == 2) return {};
    const std::size_t share = path.find('\\', server + 1);
    if (share == server + 1) return {};
    return std::string(path.substr(0, share == std::string_view::npos ? path.size() : share)) +
           "\\";
  }
  return {};
}
