// The modules list of the error dialog: the rows of the report's modules block in a
// report-style list view.
#pragma once

#include "platform/win/WinApi.h"

#include <array>

#include "report/text/EReportSnapshot.h"

class TOskedaModuleOptions;

// Handle, Name, Description, Version, Size, Modified, Path: room for a typical row of each.
constexpr std::array<int, 7> DefaultModulesColumnWidths = {70, 100, 150, 90, 70, 120, 250};

class TModulesListView {
 public:
  // Columns texts 84-90 with the given widths, full-row selection, report style; one row per
  // module in ascending handle order, the cells as the report writes them.
  void Attach(HWND listView, const TReportSnapshot& snapshot, const TOskedaModuleOptions& options,
              const std::array<int, 7>& widths);
  // The current widths while the list view exists, else the last ones known.
  std::array<int, 7> ColumnWidths() const;

 private:
  HWND list_ = nullptr;
  mutable std::array<int, 7> widths_{};
};
