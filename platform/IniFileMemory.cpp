#include "platform/IniFileMemory.h"

#include <algorithm>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool NamesEqual(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return fold(x) == fold(y);
  });
}

Lines SplitLines(std::string_view text) {
  Lines lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string JoinLines(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// The name of a section header line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  return Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
}

// The key of a key=value line, or nullopt for a line without "=".
std::optional<std::string_view> KeyName(std::string_view line) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

struct SectionRange {
  std::size_t header;  // index of the header line
  std::size_t end;     // one past the last line of the section
};

std::optional<SectionRange> FindSection(const Lines& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (!name || !NamesEqual(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const Lines& lines, SectionRange range, std::string_view key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto name = KeyName(lines[i]);
    if (name && NamesEqual(*name, key)) return i;
  }
  return std::nullopt;
}

std::string_view StoredValue(std::string_view line) {
  std::string_view value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string MemoryIniStore::ReadString(const std::string& fileName, std::string_view section,
                                       std::string_view key, std::string_view defaultValue) {
  std::lock_guard lock(mutex_);
  const auto file = files_.find(fileName);
  if (file == files_.end()) return std::string(defaultValue);
  const Lines lines = SplitLines(file->second);
  const auto range = FindSection(lines, Trim(section));
  if (!range) return std::string(defaultValue);
  const auto index = FindKey(lines, *range, Trim(key));
  if (!index) return std::string(defaultValue);
  return std::string(StoredValue(lines[*index]));
}

bool MemoryIniStore::WriteString(const std::string& fileName, std::string_view section,
                                 std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  if (writesLeft_) {
    if (*writesLeft_ == 0) return false;
    --*writesLeft_;
  }
  Lines lines = SplitLines(files_[fileName]);
  const std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  if (const auto range = FindSection(lines, Trim(section))) {
    if (const auto index = FindKey(lines, *range, Trim(key))) {
      // The key keeps the spelling it has in the file.
      lines[*index] = std::string(*KeyName(lines[*index])) + "=" + std::string(value);
    } else {
      // After the section's last key, ahead of the blank lines that part it from the next.
      std::size_t at = range->end;
      while (at > range->header + 1 && Trim(lines[at - 1]).empty()) --at;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
  } else {
    std::string header(1, '[');
    header.append(Trim(section)).push_back(']');
    lines.push_back(std::move(header));
    lines.push_back(entry);
  }
  files_[fileName] = JoinLines(lines);
  ++writeCount_;
  return true;
}

void MemoryIniStore::SetText(const std::string& fileName, std::string_view text) {
  std::lock_guard lock(mutex_);
  files_[fileName] = JoinLines(SplitLines(text));
}

std::optional<std::string> MemoryIniStore::Text(const std::string& fileName) const {
  std::lock_guard lock(mutex_);
  const auto file = files_.find(fileName);
  if (file == files_.end()) return std::nullopt;
  return file->second;
}

void MemoryIniStore::Remove(const std::string& fileName) {
  std::lock_guard lock(mutex_);
  files_.erase(fileName);
}

void MemoryIniStore::RefuseWrites(std::size_t allowedWrites) {
  std::lock_guard lock(mutex_);
  writesLeft_ = allowedWrites;
}

void MemoryIniStore::AllowWrites() {
  std::lock_guard lock(mutex_);
  writesLeft_.reset();
}

std::size_t MemoryIniStore::WriteCount() const {
  std::lock_guard lock(mutex_);
  return writeCount_;
}
