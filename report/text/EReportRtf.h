// The rich-text forms of the report for the error dialog's General and CPU tabs.
#pragma once

#include <string>
#include <string_view>

struct TRtfFont {
  int CharSet = 0;  // the font's character set number
  std::string Name = "Courier New";
  int PointSize = 8;
};

// The product line and the general part: product line bold, titles bold, dash rows and
// titles in grey, labels black, values blue.
std::string BuildGeneralRtf(std::string_view generalPart, const TRtfFont& font);
// The processor block, with tab stops at the register and dump columns.
std::string BuildCpuRtf(std::string_view processorBlock, const TRtfFont& font);
// Backslash and braces escaped, characters past 126 as \'hh.
std::string EscapeRtf(std::string_view text);
