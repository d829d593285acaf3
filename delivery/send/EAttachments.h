// Names and lists of the files that go with a report: the extra files of the options, the name
// a file is sent under, and which kept unsent archives make way for newer ones.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/DateTime.h"

inline constexpr std::string_view ArchiveFileName = "CompressFiles.tgz";
inline constexpr std::string_view ScreenshotFileName = "Screenshot.png";
inline constexpr std::string_view LastPageFileName = "LastHTMLPage.html";
inline constexpr std::size_t KeptArchivesLimit = 10;

// The items of a ";"-separated list, each trimmed of spaces and control characters; empty
// items are dropped.
std::vector<std::string> SplitExtraFiles(std::string_view list);

// The file-name part of a path, after the last '\', '/' or ':'.
std::string FileNamePart(std::string_view path);
// The folder part of a path with its final separator; empty when the path has none.
std::string FolderPart(std::string_view path);
// The path with its extension (from the last '.' of the file name) replaced by extension.
std::string ChangeFileExtension(std::string_view path, std::string_view extension);

// The name a file is sent under: its file name, with "_" and the report time as
// "yyyymmddhhnnss" before the extension when stamped is set.
std::string AttachmentName(std::string_view path, bool stamped, TDateTime reportTime);

// Of the names in a folder, the kept archives ("CompressFiles*.tgz", in any case) that have to
// go so that only the last KeptArchivesLimit in name order stay (with time-stamped names the
// oldest go first). Other files of the folder are never chosen.
std::vector<std::string> KeptArchivesToDelete(std::vector<std::string> folderNames);
