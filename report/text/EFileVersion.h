// The values the report takes from a file's version resource: its description and its
// version number. The Win32 side reads the resource; these rules make the texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "\StringFileInfo\040904E4\FileDescription" for the first translation of the resource.
std::string FileDescriptionQuery(std::uint16_t language, std::uint16_t codePage);
// The description as queried, or empty when it is not longer than one character (a lone
// terminating zero or blank stands for no description). A terminating zero is dropped.
std::string FileDescriptionText(std::string_view value);
// The four 16-bit numbers of the fixed file information joined by "." (1.0.3.12); empty for
// 0.0.0.0.
std::string FileVersionText(std::uint32_t versionMs, std::uint32_t versionLs);
