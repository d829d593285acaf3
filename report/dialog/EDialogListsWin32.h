// The two lists of the error dialog, the call stack and the modules: the one place where the
// dialog hands them their list views, their notifications and their column widths.
#pragma once

#include "platform/win/WinApi.h"

#include <array>

#include "report/dialog/ECallStackListWin32.h"
#include "report/dialog/EModulesListWin32.h"

class TOskedaModuleOptions;
struct TReportSnapshot;

struct TDialogLists {
  // The widths from "OskedaLog.ini", used until a list exists.
  std::array<int, 6> CallStackWidths{};
  std::array<int, 7> ModulesWidths{};
  TCallStackListView CallStack;
  TModulesListView Modules;
  bool CallStackAttached = false;
  bool ModulesAttached = false;
};

void AttachCallStackList(TDialogLists& lists, HWND listView, HINSTANCE resources,
                         const TReportSnapshot& snapshot, const TOskedaModuleOptions& options);
bool CallStackListNotify(TDialogLists& lists, const NMHDR& header, LRESULT& result);
void AttachModulesList(TDialogLists& lists, HWND listView, const TReportSnapshot& snapshot,
                       const TOskedaModuleOptions& options);
std::array<int, 6> CallStackColumnWidths(const TDialogLists& lists);
std::array<int, 7> ModulesColumnWidths(const TDialogLists& lists);
