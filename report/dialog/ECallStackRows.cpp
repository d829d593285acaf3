#include "report/dialog/ECallStackRows.h"

#include "platform/ListSort.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"
#include "report/text/EReportValues.h"

TFrameIcon FrameIconOf(const TOskedaStackEntry& frame, std::string_view programPath) {
  switch (frame.Kind) {
    case mkOwnCode:
      return CompareText(frame.ModulePath, programPath) == 0 ? TFrameIcon::Pas : TFrameIcon::Bpl;
    case mkRuntimeCode:
      return TFrameIcon::Vcl;
    case mkSystemExport:
      return TFrameIcon::Dll;
    default:
      return TFrameIcon::None;
  }
}

TCallStackRows::TCallStackRows(const TReportSnapshot& snapshot,
                               const TOskedaModuleOptions& options)
    : reportingModule_(options.OwnerModuleName()), buildTime_(snapshot.Application.BuildTime) {
  // Options of the program itself carry no module name.
  if (reportingModule_.empty())
    reportingModule_ = std::string(ExtractFileName(snapshot.Application.ExePath));
  const TOskedaStackEntry* previous = nullptr;
  for (const TOskedaStackEntry& frame : snapshot.Stack) {
    if (!CallStackListsFrame(frame, options)) continue;
    if (StartsThreadGroup(previous, frame)) {
      TCallStackGroup group;
      group.ThreadText =
          CallStackThreadText(frame, previous == nullptr, snapshot.Threads, options);
      groups_.push_back(std::move(group));
    }
    groups_.back().Frames.push_back(
        {frame, CallStackFrameCells(frame, options),
         FrameIconOf(frame, snapshot.Application.ExePath)});
    previous = &frame;
  }
  Rebuild();
}

void TCallStackRows::Rebuild() {
  visible_.clear();
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    visible_.push_back({g, -1});
    if (!groups_[g].Expanded) continue;
    for (std::size_t f = 0; f < groups_[g].Frames.size(); ++f)
      visible_.push_back({g, static_cast<int>(f)});
  }
}

bool TCallStackRows::Toggle(std::size_t visibleRow) {
  if (visibleRow >= visible_.size() || !visible_[visibleRow].IsGroup()) return false;
  TCallStackGroup& group = groups_[visible_[visibleRow].Group];
  group.Expanded = !group.Expanded;
  Rebuild();
  return true;
}

const TCallStackFrameRow* TCallStackRows::FrameAt(std::size_t visibleRow) const {
  if (visibleRow >= visible_.size() || visible_[visibleRow].IsGroup()) return nullptr;
  const TVisibleRow& row = visible_[visibleRow];
  return &groups_[row.Group].Frames[static_cast<std::size_t>(row.Frame)];
}

const TCallStackGroup* TCallStackRows::GroupAt(std::size_t visibleRow) const {
  if (visibleRow >= visible_.size() || !visible_[visibleRow].IsGroup()) return nullptr;
  return &groups_[visible_[visibleRow].Group];
}

std::optional<TSourceLocation> TCallStackRows::SourceLocationAt(std::size_t visibleRow) const {
  const TCallStackFrameRow* row = FrameAt(visibleRow);
  if (!row || row->Frame.Line == 0) return std::nullopt;
  TSourceLocation location;
  location.ModuleFileName = reportingModule_;
  location.UnitName = row->Frame.UnitName;
  location.ClassName = row->Frame.ClassName;
  location.ProcedureName = row->Frame.ProcedureName;
  location.Line = static_cast<std::int32_t>(row->Frame.Line);
  location.LineOffset = ParseLineOffset(row->Cells[5]);
  location.BuildTime = buildTime_;
  return location;
}
