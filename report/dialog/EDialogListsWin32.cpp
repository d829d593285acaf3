#include "report/dialog/EDialogListsWin32.h"

void AttachCallStackList(TDialogLists&, HWND, HINSTANCE, const TReportSnapshot&,
                         const TOskedaModuleOptions&) {}

bool CallStackListNotify(TDialogLists&, const NMHDR&, LRESULT&) { return false; }

void AttachModulesList(TDialogLists&, HWND, const TReportSnapshot&, const TOskedaModuleOptions&) {}

std::array<int, 6> CallStackColumnWidths(const TDialogLists& lists) {
  return lists.CallStackWidths;
}

std::array<int, 7> ModulesColumnWidths(const TDialogLists& lists) { return lists.ModulesWidths; }
