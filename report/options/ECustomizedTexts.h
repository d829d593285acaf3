// The 96 customisable texts of the dialogs and the report: default English texts and the
// group/key table under which they are edited.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

constexpr int CustomizedTextCount = 96;

using TCustomizedTexts = std::array<std::string, CustomizedTextCount>;

// The default text of an index; EListError outside 0..95.
std::string_view DefaultCustomizedText(int index);
TCustomizedTexts DefaultCustomizedTexts();

// One line of the key table: a group heading (TextIndex -1) or the key of one text. The
// table starts with the root heading "Texts"; every other heading is followed by its keys.
struct TCustomizedTextKey {
  std::string_view Name;
  int TextIndex;
};

constexpr int CustomizedTextGroupCount = 11;
constexpr int CustomizedTextKeyTableSize = CustomizedTextCount + CustomizedTextGroupCount;

std::span<const TCustomizedTextKey> CustomizedTextKeyTable();
// The group and the key of a text index; EListError outside 0..95.
std::string_view CustomizedTextGroup(int index);
std::string_view CustomizedTextKeyName(int index);
