#include "report/dialog/EModulesListWin32.h"

#include "report/dialog/ECallStackListCellsWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"

void TModulesListView::Attach(HWND listView, const TReportSnapshot& snapshot,
                              const TOskedaModuleOptions& options,
                              const std::array<int, 7>& widths) {
  list_ = listView;
  widths_ = widths;
  ResetReportListView(list_);
  AddListColumns(list_, ModulesHeaders(options), widths.data());
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  int index = 0;
  for (const TTableRow& row : ModulesRows(snapshot.Modules, options))
    InsertListRow(list_, index++, row, -1);
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

std::array<int, 7> TModulesListView::ColumnWidths() const {
  ReadListColumnWidths(list_, widths_.data(), widths_.size());
  return widths_;
}
