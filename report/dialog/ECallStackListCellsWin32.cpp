#include "report/dialog/ECallStackListCellsWin32.h"

void ResetReportListView(HWND list) {
  const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
  SetWindowLongPtrA(list, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK | LVS_SHAREIMAGELISTS)) |
                        LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
  }
}

void AddListColumns(HWND list, const std::vector<std::string>& captions, const int* widths) {
  for (std::size_t i = 0; i < captions.size(); ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = widths[i] < 0 ? 0 : widths[i];
    column.pszText = const_cast<char*>(captions[i].c_str());
    column.iSubItem = static_cast<int>(i);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
}

void ReadListColumnWidths(HWND list, int* widths, std::size_t count) {
  if (!IsWindow(list)) return;
  for (std::size_t i = 0; i < count; ++i)
    widths[i] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
}

int InsertListRow(HWND list, int index, const std::vector<std::string>& cells, int image,
                  LPARAM data) {
  if (cells.empty()) return -1;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image < 0 ? I_IMAGENONE : image;
  item.lParam = data;
  item.pszText = const_cast<char*>(cells[0].c_str());
  const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0,
                                                reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return -1;
  for (std::size_t c = 1; c < cells.size(); ++c) {
    LVITEMA cell{};
    cell.iSubItem = static_cast<int>(c);
    cell.pszText = const_cast<char*>(cells[c].c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
  }
  return row;
}
