#include "delivery/send/EAttachments.h"

#include <algorithm>
#include <cctype>

#include "platform/FormatDateTime.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsKeptArchive(std::string_view name) {
  const std::string lower = Lower(name);
  return lower.size() >= 17 && lower.starts_with("compressfiles") && lower.ends_with(".tgz");
}

}  // namespace

std::vector<std::string> SplitExtraFiles(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    std::string_view item = list.substr(start, end - start);
    while (!item.empty() && IsBlank(item.front())) item.remove_prefix(1);
    while (!item.empty() && IsBlank(item.back())) item.remove_suffix(1);
    if (!item.empty()) items.emplace_back(item);
    start = end + 1;
  }
  return items;
}

std::string FileNamePart(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string FolderPart(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? std::string()
                                             : std::string(path.substr(0, separator + 1));
}

std::string ChangeFileExtension(std::string_view path, std::string_view extension) {
  const std::size_t nameStart = FolderPart(path).size();
  const std::size_t dot = path.rfind('.');
  const std::size_t end = dot == std::string_view::npos || dot < nameStart ? path.size() : dot;
  return std::string(path.substr(0, end)) + std::string(extension);
}

std::string AttachmentName(std::string_view path, bool stamped, TDateTime reportTime) {
  std::string name = FileNamePart(path);
  if (!stamped) return name;
  const std::string stamp = "_" + FormatDateTime("yyyymmddhhnnss", reportTime);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name + stamp;
  return name.substr(0, dot) + stamp + name.substr(dot);
}

std::vector<std::string> KeptArchivesToDelete(std::vector<std::string> folderNames) {
  std::erase_if(folderNames, [](const std::string& name) { return !IsKeptArchive(name); });
  std::sort(folderNames.begin(), folderNames.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  if (folderNames.size() <= KeptArchivesLimit) return {};
  folderNames.resize(folderNames.size() - KeptArchivesLimit);
  return folderNames;
}
