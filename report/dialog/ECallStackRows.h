// The rows of the error dialog's call-stack list: one group per thread, headed by the report's
// thread line, holding the report's frame rows; each group expands and collapses on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <optional>
#include <string_view>
#include <vector>

#include "report/dialog/ESourceLocation.h"
#include "report/text/EReportSnapshot.h"
#include "report/text/ETableText.h"

class TOskedaModuleOptions;

// The icon of a frame row, after what the code there is: our own code in the program file
// (Pas) or in another module of ours (Bpl), runtime code linked into a module of ours (Vcl),
// a system module named by its exports (Dll).
enum class TFrameIcon : std::uint8_t { None, Pas, Dll, Bpl, Vcl };

TFrameIcon FrameIconOf(const TOskedaStackEntry& frame, std::string_view programPath);

struct TCallStackFrameRow {
  TOskedaStackEntry Frame;
  TTableRow Cells;  // the six cells of the report's row
  TFrameIcon Icon = TFrameIcon::None;
};

struct TCallStackGroup {
  std::string ThreadText;
  std::vector<TCallStackFrameRow> Frames;
  bool Expanded = true;
};

// A row as the list shows it: a group's own row (Frame < 0) or one of its frames.
struct TVisibleRow {
  std::size_t Group = 0;
  int Frame = -1;
  bool IsGroup() const { return Frame < 0; }
};

class TCallStackRows {
 public:
  TCallStackRows() = default;
  // The frames the report lists, grouped where the report starts a new thread line; every
  // group starts expanded.
  TCallStackRows(const TReportSnapshot& snapshot, const TOskedaModuleOptions& options);

  const std::vector<TCallStackGroup>& Groups() const { return groups_; }
  const std::vector<TVisibleRow>& Visible() const { return visible_; }

  // Expands or collapses the group whose row is at visibleRow; false (and nothing changes)
  // when that row is a frame row or there is no such row.
  bool Toggle(std::size_t visibleRow);
  // The frame at visibleRow; nullptr for a group row or a row that does not exist.
  const TCallStackFrameRow* FrameAt(std::size_t visibleRow) const;
  const TCallStackGroup* GroupAt(std::size_t visibleRow) const;
  // What activating the row at visibleRow sends: the frame's names, line and line offset with
  // the reporting module's file name and build time. Nothing for a group row or a frame
  // without a line number.
  std::optional<TSourceLocation> SourceLocationAt(std::size_t visibleRow) const;

 private:
  void Rebuild();

  std::vector<TCallStackGroup> groups_;
  std::vector<TVisibleRow> visible_;
  std::string reportingModule_;
  TDateTime buildTime_ = 0;
};
