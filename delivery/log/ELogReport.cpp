#include "delivery/log/ELogReport.h"

namespace {

constexpr std::string_view Crlf = "\r\n";
constexpr std::string_view Separator = "\r\n\r\n\r\n\r\n";
constexpr std::string_view TableBorder = "-\r\n|";
constexpr std::string_view SectionHeader = ":\r\n-";
constexpr std::string_view BorderBeforeBlank = "-\r\n\r\n";
constexpr std::string_view BlankLine = "\r\n\r\n";
constexpr std::size_t npos = std::string_view::npos;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The start of the line that holds position pos.
std::size_t LineStart(std::string_view text, std::size_t pos) {
  if (pos == 0) return 0;
  const std::size_t lf = text.rfind('\n', pos - 1);
  return lf == npos ? 0 : lf + 1;
}

std::size_t LineEnd(std::string_view text, std::size_t pos) {
  const std::size_t end = text.find(Crlf, pos);
  return end == npos ? text.size() : end;
}

// The n-th (1-based) occurrence of what at or after from.
std::size_t FindNth(std::string_view text, std::string_view what, std::size_t from, int n) {
  std::size_t at = from;
  for (int i = 0; i < n; ++i) {
    at = text.find(what, i == 0 ? at : at + 1);
    if (at == npos) return npos;
  }
  return at;
}

// Where field id's value starts: after the first ": " of its line.
std::size_t FieldValueStart(std::string_view report, std::string_view id) {
  const std::string key = "\r\n  " + std::string(id) + " ";
  const std::size_t field = report.find(key);
  if (field == npos) return npos;
  const std::size_t lineEnd = LineEnd(report, field + 2);
  const std::size_t colon = report.find(": ", field + key.size());
  if (colon == npos || colon >= lineEnd) return npos;
  return colon + 2;
}

bool IsBlank(std::string_view line) { return TrimText(line).empty(); }

}  // namespace

std::string_view TrimText(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0;;) {
    const std::size_t hit = text.find(from, at);
    if (hit == npos) {
      out.append(text.substr(at));
      return out;
    }
    out.append(text.substr(at, hit - at)).append(to);
    at = hit + from.size();
  }
}

std::vector<std::string_view> SplitCrlfLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = LineEnd(text, at);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += Crlf;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += Crlf;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SplitLogText(std::string_view fileText) {
  std::vector<std::string> reports;
  if (fileText.size() <= 5) return reports;
  std::string text = NormalizeLineBreaks(fileText);
  // The file ends after the last report's three line breaks; one more makes that end a
  // separator like the others.
  if (text.ends_with("\r\n\r\n\r\n")) text += Crlf;
  std::size_t start = 0;
  for (;;) {
    const std::size_t hit = text.find(Separator, start);
    if (hit == npos) break;
    // A report whose own text ends in line breaks leaves a longer run: the whole run but its
    // last line break belongs to the report, so the next report starts with its first line.
    std::size_t next = hit + Separator.size();
    while (text.compare(next, 2, Crlf) == 0) next += 2;
    const std::string_view entry = std::string_view(text).substr(start, next - 2 - start);
    if (entry.find(TableBorder) != npos) reports.emplace_back(entry);
    start = next;
  }
  return reports;
}

std::string ReportFieldValue(std::string_view report, std::string_view id) {
  const std::size_t start = FieldValueStart(report, id);
  if (start == npos) return {};
  std::size_t end = LineEnd(report, start);
  std::vector<std::string_view> lines{report.substr(start, end - start)};
  while (end < report.size()) {
    const std::size_t next = end + 2;
    const std::size_t nextEnd = LineEnd(report, next);
    const std::string_view line = report.substr(next, nextEnd - next);
    const bool newField = StartsWith(line, "  ") && line.size() > 2 && line[2] != ' ';
    if (line.empty() || newField) break;
    lines.push_back(line.substr(std::min(line.find_first_not_of(' '), line.size())));
    end = nextEnd;
  }
  std::string value;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) value += Crlf;
    // A line of a single "." is the writer's mark of an empty line.
    if (lines.size() > 1 && lines[i] == ".") continue;
    value += ReplaceAll(lines[i], ":_", ": ");
  }
  return std::string(TrimText(value));
}

std::string FormatFieldValue(std::string_view value, std::size_t column) {
  const std::string normalized = NormalizeLineBreaks(value);
  if (normalized.find(Crlf) == npos) return normalized + std::string(Crlf);
  const std::string escaped = ReplaceAll(normalized, ": ", ":_");
  std::string out;
  bool first = true;
  for (const std::string_view line : SplitCrlfLines(escaped)) {
    if (!first) out.append(column, ' ');
    first = false;
    out.append(IsBlank(line) ? "." : line).append(Crlf);
  }
  return out;
}

bool ReportHasFieldValues(std::string_view report, std::span<const std::string> ids,
                          std::span<const std::string> values) {
  if (ids.size() != values.size()) return false;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const std::size_t start = FieldValueStart(report, ids[i]);
    if (start == npos) return false;
    const std::string_view stored = report.substr(start);
    const std::size_t column = start - LineStart(report, start);
    const std::string written = FormatFieldValue(values[i], column);
    if (StartsWith(stored, written)) continue;
    // A writer that indents continuation lines by one space only stores the same value so.
    const std::string narrow = FormatFieldValue(values[i], 1);
    if (narrow == written || !StartsWith(stored, narrow)) return false;
  }
  return true;
}

std::string ReportVersion(std::string_view report) {
  const std::string_view first = report.substr(0, LineEnd(report, 0));
  return first.size() > 10 ? std::string(first.substr(10)) : std::string();
}

std::string ReportHeaderPart(std::string_view report) {
  const std::size_t border = report.find(TableBorder);
  if (border == npos) return {};
  const std::size_t borderLine = LineStart(report, border);
  const std::size_t titleLine = borderLine < 2 ? 0 : LineStart(report, borderLine - 2);
  std::string_view header = report.substr(0, titleLine);
  while (!header.empty() && (header.back() == '\r' || header.back() == '\n' || header.back() == ' '))
    header.remove_suffix(1);
  return std::string(header);
}

std::string ReportCallStack(std::string_view report) {
  const std::size_t border = report.find(TableBorder);
  if (border == npos) return {};
  const std::size_t start = LineStart(report, border);
  const std::size_t end = report.find(BorderBeforeBlank, border);
  return std::string(report.substr(start, end == npos ? npos : end + BorderBeforeBlank.size() - start));
}

std::string ReportModules(std::string_view report) {
  const std::size_t border = report.find(TableBorder);
  if (border == npos) return {};
  const std::size_t header = report.find(SectionHeader, border);
  if (header == npos) return {};
  const std::size_t dashLine = header + 3;
  const std::size_t dashEnd = LineEnd(report, dashLine);
  if (dashEnd + 2 >= report.size() || report[dashEnd + 2] != '|') return {};
  const std::size_t end = report.find(BorderBeforeBlank, dashLine);
  return std::string(
      report.substr(dashLine, end == npos ? npos : end + BorderBeforeBlank.size() - dashLine));
}

std::string ReportProcessor(std::string_view report) {
  const std::size_t border = report.find(TableBorder);
  if (border == npos) return {};
  const std::size_t firstBlank = report.find(BlankLine, border);
  if (firstBlank == npos) return {};
  const std::size_t secondBlank = report.find(BlankLine, firstBlank + 2);
  if (secondBlank == npos) return {};
  const std::size_t start = secondBlank + BlankLine.size();
  const std::size_t paragraphEnd = report.find(BlankLine, start);
  const std::size_t end =
      paragraphEnd == npos ? npos : report.find(BlankLine, paragraphEnd + 2);
  const std::string_view block = report.substr(start, end == npos ? npos : end - start);
  return block.find("EAX") == npos ? std::string() : std::string(block);
}

std::string ReportReproduceText(std::string_view report) {
  const std::size_t border = FindNth(report, TableBorder, 0, 3);
  if (border == npos) return {};
  const std::size_t header = FindNth(report, SectionHeader, border, 3);
  if (header == npos) return {};
  const std::size_t dashEnd = LineEnd(report, header + 3);
  if (dashEnd >= report.size()) return {};
  const std::size_t end = report.find(BlankLine, dashEnd);
  if (end == dashEnd) return {};
  const std::size_t start = dashEnd + 2;
  return std::string(report.substr(start, end == npos ? npos : end - start));
}
