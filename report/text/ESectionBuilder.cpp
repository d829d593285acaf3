#include "report/text/ESectionBuilder.h"

#include <algorithm>

#include "platform/SysUtils.h"

namespace {

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t at = 0;
  for (std::size_t hit; (hit = text.find(from, at)) != std::string_view::npos;
       at = hit + from.size()) {
    out.append(text.substr(at, hit - at));
    out.append(to);
  }
  out.append(text.substr(at));
  return out;
}

// A value of several lines: no ": " that the log reader would take for a field's colon, no
// empty line that would end the section, continuation lines indented.
std::string MultiLineValue(std::string_view value) {
  const std::vector<std::string> lines = SplitLines(ReplaceAll(value, ": ", ":_"));
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n ";
    out += Trim(lines[i]).empty() ? std::string(".") : lines[i];
  }
  return out;
}

void RenderSection(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                   std::string& out) {
  if (end - begin <= 2) return;
  std::size_t column = 0;
  for (std::size_t i = begin + 2; i < end; ++i) {
    const std::size_t colon = lines[i].find(": ");
    if (colon != std::string::npos) column = std::max(column, colon);
  }
  std::vector<std::string> fields;
  std::size_t longest = 0;
  for (std::size_t i = begin + 2; i < end; ++i) {
    std::string line = lines[i];
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) line.insert(colon, column - colon, ' ');
    longest = std::max(longest, line.size());
    fields.push_back(std::move(line));
  }
  if (!out.empty()) out += "\r\n";
  out += lines[begin] + "\r\n" + std::string(longest, '-') + "\r\n";
  for (const std::string& line : fields) out += line + "\r\n";
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

void TNumberedSectionBuilder::AddSection(std::string_view title) {
  ++section_;
  item_ = 0;
  if (!text_.empty()) text_ += "\r\n\r\n";
  text_.append(title);
  text_ += ":\r\n-";
}

void TNumberedSectionBuilder::AddField(std::string_view label, std::string_view value,
                                       bool visible) {
  ++item_;
  if (!visible) return;
  text_ += Format("\r\n  %d.%d ", section_, item_);
  text_.append(label);
  text_ += ": ";
  if (value.find_first_of("\r\n") != std::string_view::npos)
    text_ += MultiLineValue(value);
  else
    text_.append(value);
}

std::string TNumberedSectionBuilder::Render() const {
  if (text_.empty()) return {};
  const std::vector<std::string> lines = SplitLines(text_);
  std::string out;
  std::size_t begin = 0;
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i < lines.size() && !lines[i].empty()) continue;
    if (i > begin) RenderSection(lines, begin, i, out);
    begin = i + 1;
  }
  return out;
}
