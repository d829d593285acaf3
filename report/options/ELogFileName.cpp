#include "report/options/ELogFileName.h"

namespace {

bool IsFolderDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

// Length of the folder part, delimiter included.
std::size_t FolderLength(std::string_view path) {
  std::size_t i = path.size();
  while (i > 0 && !IsFolderDelimiter(path[i - 1])) --i;
  return i;
}

// Position of the extension's dot in the last path element, or npos.
std::size_t ExtensionStart(std::string_view path) {
  const std::size_t folder = FolderLength(path);
  const std::size_t dot = path.rfind('.');
  return dot != std::string_view::npos && dot >= folder ? dot : std::string_view::npos;
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::size_t dot = ExtensionStart(path);
  std::string result(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
  result += extension;
  return result;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool NamesLogFile(std::string_view path) {
  const std::size_t dot = ExtensionStart(path);
  return dot != std::string_view::npos && AsciiLower(path.substr(dot)) == LogFileExtension;
}

}  // namespace

std::string SafeComputerName(std::string_view computerName) {
  std::string safe(computerName);
  for (char& c : safe) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      c = '_';
  }
  return safe;
}

std::string BuildLogFileName(std::string_view fileName, std::string_view logFolder,
                             bool computerInFileName, std::string_view computerName) {
  const std::string logFile = ChangeFileExt(fileName, LogFileExtension);
  std::string result;
  if (NamesLogFile(logFolder)) {
    result = logFolder;
  } else {
    // The folder of the file already ends where its name starts; a given folder gets its
    // backslash. A bare file name stays relative rather than landing in the root of the drive.
    std::string folder(logFile.substr(0, FolderLength(logFile)));
    if (!logFolder.empty()) {
      folder = logFolder;
      if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    }
    result = folder + logFile.substr(FolderLength(logFile));
  }
  if (computerInFileName) {
    const std::size_t dot = ExtensionStart(result);
    result.insert(dot == std::string::npos ? result.size() : dot,
                  "_" + SafeComputerName(computerName));
  }
  return result;
}
