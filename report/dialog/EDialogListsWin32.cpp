#include "report/dialog/EDialogListsWin32.h"

void AttachCallStackList(TDialogLists& lists, HWND listView, HINSTANCE resources,
                         const TReportSnapshot& snapshot, const TOskedaModuleOptions& options) {
  lists.CallStack.Attach(listView, resources, snapshot, options, lists.CallStackWidths);
  lists.CallStackAttached = true;
}

bool CallStackListNotify(TDialogLists& lists, const NMHDR& header, LRESULT& result) {
  return lists.CallStackAttached && lists.CallStack.OnNotify(header, result);
}

void AttachModulesList(TDialogLists& lists, HWND listView, const TReportSnapshot& snapshot,
                       const TOskedaModuleOptions& options) {
  lists.Modules.Attach(listView, snapshot, options, lists.ModulesWidths);
  lists.ModulesAttached = true;
}

std::array<int, 6> CallStackColumnWidths(const TDialogLists& lists) {
  return lists.CallStackAttached ? lists.CallStack.ColumnWidths() : lists.CallStackWidths;
}

std::array<int, 7> ModulesColumnWidths(const TDialogLists& lists) {
  return lists.ModulesAttached ? lists.Modules.ColumnWidths() : lists.ModulesWidths;
}
