// The numbered section builder: the shape of the report's general part, which the log reader
// parses back by its section and field numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TNumberedSectionBuilder {
 public:
  // firstSection: the number the first AddSection follows (6 gives section 7).
  explicit TNumberedSectionBuilder(int firstSection = 0) : section_(firstSection) {}

  void AddSection(std::string_view title);
  // The item number advances for an invisible field too, so later fields keep their numbers.
  void AddField(std::string_view label, std::string_view value, bool visible = true);

  // The text as built, before alignment.
  const std::string& Text() const { return text_; }
  // Sections without a visible field dropped, the ": " of each section in one column, the dash
  // row as long as the section's longest line; every line ends with CR LF.
  std::string Render() const;

 private:
  std::string text_;
  int section_;
  int item_ = 0;
};

// Splits text at CR LF, lone LF or lone CR.
std::vector<std::string> SplitLines(std::string_view text);
