// The call-stack list of the error dialog: the report's frames in one report-style list view,
// grouped under one row per thread that a click expands or collapses, an icon per frame, and
// the source location sent to the development tools when a frame with a line is activated.
#pragma once

#include "platform/win/WinApi.h"

#include <array>

#include "report/dialog/ECallStackRows.h"

class TOskedaModuleOptions;

// Address, Module, Unit, Class, Procedure/Method, Line, as a fresh "OskedaLog.ini" has them.
constexpr std::array<int, 6> DefaultCallStackColumnWidths = {89, 92, 126, 126, 200, 61};

class TCallStackListView {
 public:
  TCallStackListView() = default;
  TCallStackListView(const TCallStackListView&) = delete;
  TCallStackListView& operator=(const TCallStackListView&) = delete;

  // Columns texts 62-67 with the given widths, full-row selection, report style; the rows of
  // the snapshot grouped per thread as the report's call-stack block has them, all groups
  // expanded. The marks and kind icons are the bitmaps "OZ_PLUS", "OZ_MINUS", "OZ_PAS",
  // "OZ_DLL", "OZ_BPL" and "OZ_VCL" of `resources`; a missing one leaves its rows without an
  // icon. The list view keeps the image list and frees it with itself.
  void Attach(HWND listView, HINSTANCE resources, const TReportSnapshot& snapshot,
              const TOskedaModuleOptions& options, const std::array<int, 6>& widths);
  // WM_NOTIFY of the list view (false for any other control's): a click on a group row
  // toggles it, activating a frame row with a line sends its source location, group rows are
  // drawn across the whole row.
  bool OnNotify(const NMHDR& header, LRESULT& result);
  // The current widths while the list view exists, else the last ones known.
  std::array<int, 6> ColumnWidths() const;

  const TCallStackRows& Rows() const { return rows_; }

 private:
  enum TImage { imPlus, imMinus, imPas, imDll, imBpl, imVcl, imCount };

  void Fill();
  void ToggleRow(int row);
  int ImageOfRow(std::size_t row) const;
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);

  HWND list_ = nullptr;
  HIMAGELIST images_ = nullptr;  // owned by the list view
  std::array<int, imCount> imageIndex_{};
  TCallStackRows rows_;
  mutable std::array<int, 6> widths_{};
};
