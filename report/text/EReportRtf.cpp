#include "report/text/EReportRtf.h"

#include "platform/SysUtils.h"
#include "report/text/ESectionBuilder.h"

namespace {

std::string Header(const TRtfFont& font) {
  return Format(
             "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{\\f0\\fmodern\\fprq1"
             "\\fcharset%d %s;}}\r\n{\\colortbl ;\\red0\\green100\\blue100;\\red0\\green0\\blue0;"
             "\\red40\\green40\\blue40;\\red0\\green0\\blue160;}\r\n",
             font.CharSet, EscapeRtf(font.Name).c_str()) +
         Format("\\f0\\fs%d\r\n", font.PointSize * 2);
}

// One line in the colours of its kind: titles (ending with ":") bold grey, dash rows grey,
// field lines black up to their first ": " and blue after it.
std::string StyledLine(const std::string& line) {
  if (!line.empty() && line.back() == ':') return "\\cf3\\b " + EscapeRtf(line) + "\\b0";
  if (!line.empty() && line.front() == '-') return "\\cf3 " + EscapeRtf(line);
  const std::size_t colon = line.find(": ");
  if (colon == std::string::npos) return "\\cf2 " + EscapeRtf(line);
  return "\\cf2 " + EscapeRtf(line.substr(0, colon + 2)) + "\\cf4 " +
         EscapeRtf(line.substr(colon + 2));
}

std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines = SplitLines(text);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

std::string EscapeRtf(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}')
      out += {'\\', c};
    else if (u > 126 || u < 32)
      out += Format("\\'%02x", u);
    else
      out += c;
  }
  return out;
}

std::string BuildGeneralRtf(std::string_view generalPart, const TRtfFont& font) {
  std::string out = Header(font);
  const std::vector<std::string> lines = LinesOf(generalPart);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += i == 0 ? "\\cf1\\b " + EscapeRtf(lines[i]) + "\\b0" : StyledLine(lines[i]);
    out += "\\par\r\n";
  }
  return out + "}";
}

std::string BuildCpuRtf(std::string_view processorBlock, const TRtfFont& font) {
  // A fixed-pitch character is about 0.6 em wide: 12 twips per point of font size.
  const int twipsPerColumn = font.PointSize * 12;
  std::string out = Header(font) + "\\pard";
  // The columns where the second register, the stack value, the memory address and the
  // bytes and characters of a dump line begin.
  for (int column : {10, 16, 21, 31, 80}) out += Format("\\tx%d", column * twipsPerColumn);
  out += "\r\n";
  for (const std::string& line : LinesOf(processorBlock)) {
    const bool registers = line.size() > 4 && line[3] == ':' && line.front() == 'E';
    out += registers ? "\\cf2 " + EscapeRtf(line) : StyledLine(line);
    out += "\\par\r\n";
  }
  return out + "}";
}
