#include <gtest/gtest.h>

#include "platform/win/UniqueHandle.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "report/dialog/ECallStackListWin32.h"
#include "report/dialog/EModulesListWin32.h"
#include "report/options/ECoreOptions.h"
#include "tests/platform/gui/WindowShotWin32.h"
#include "tests/report/dialog/ECallStackTestSnapshot.h"

namespace {

// A plain window holding both lists, passing its notifications on as the dialog does.
struct ListsWindow {
  TCallStackListView callStack;
  TModulesListView modules;
  UniqueWindow window;
  HWND stackList = nullptr;
  HWND modulesList = nullptr;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListsWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NOTIFY && self) {
      LRESULT result = 0;
      if (self->callStack.OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  ListsWindow() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "CallStackListsTest";
    RegisterClassA(&wc);
    window.reset(CreateWindowExA(0, wc.lpszClassName, "Call stack and modules",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 860, 560, nullptr,
                                 nullptr, wc.hInstance, nullptr));
    SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Created as icon views: Attach makes them report views.
    stackList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_ICON, 8, 8, 830, 310, window.get(),
                                reinterpret_cast<HMENU>(103), wc.hInstance, nullptr);
    modulesList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | LVS_ICON, 8, 326, 830, 190, window.get(),
                                  reinterpret_cast<HMENU>(104), wc.hInstance, nullptr);
  }

  LRESULT Notify(UINT code, int item, POINT at = {}) {
    NMITEMACTIVATE n{};
    n.hdr.hwndFrom = stackList;
    n.hdr.idFrom = 103;
    n.hdr.code = code;
    n.iItem = item;
    n.ptAction = at;
    return SendMessageA(window.get(), WM_NOTIFY, 103, reinterpret_cast<LPARAM>(&n));
  }
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i)
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::string Cell(HWND list, int row, int column) {
  char buffer[512] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int Image(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

struct AllKinds : TOskedaModuleOptions {
  AllKinds() : TOskedaModuleOptions("Dialmoor.exe", false) {
    SetStackFlags({sfStackKind2, sfStackKind3, sfLineOffsets});
    SetLogFlags({lfModulesSection});
  }
};

const std::array<int, 6> StackWidths = {89, 92, 126, 126, 200, 61};
const std::array<int, 7> ModuleWidths = {70, 90, 110, 90, 70, 125, 240};

TEST(CallStackListWin32, ShowsGroupsThatClicksCollapseAndExpand) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), snapshot, options, StackWidths);

  const LONG_PTR style = GetWindowLongPtrA(w.stackList, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(SendMessageA(w.stackList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
              LVS_EX_FULLROWSELECT);

  ASSERT_EQ(Rows(w.stackList), 15);
  EXPECT_EQ(Cell(w.stackList, 0, 0), "Exception Thread: ID=1234; Priority=0; [Main]");
  EXPECT_EQ(Cell(w.stackList, 1, 0), "00401A2B");
  EXPECT_EQ(Cell(w.stackList, 1, 1), "Dialmoor.exe");
  EXPECT_EQ(Cell(w.stackList, 1, 2), "app/Unit1.cpp");
  EXPECT_EQ(Cell(w.stackList, 1, 3), "TForm1");
  EXPECT_EQ(Cell(w.stackList, 1, 4), "Timer1Timer");
  EXPECT_EQ(Cell(w.stackList, 1, 5), "42[3]");
  EXPECT_EQ(Cell(w.stackList, 5, 0), "Running Thread: ID=2000; Priority=-2; Class=TWorker");
  EXPECT_EQ(Cell(w.stackList, 9, 5), "");

  // Marks for the groups, kind icons for the frames: six distinct pictures.
  const int minus = Image(w.stackList, 0);
  const int pas = Image(w.stackList, 1), vcl = Image(w.stackList, 2),
            dll = Image(w.stackList, 3), bpl = Image(w.stackList, 8);
  EXPECT_GE(minus, 0);
  EXPECT_EQ(Image(w.stackList, 4), pas);
  EXPECT_EQ(Image(w.stackList, 14), dll);
  std::set<int> distinct = {minus, pas, vcl, dll, bpl};
  EXPECT_EQ(distinct.size(), 5u);

  // A click on the second group's row collapses it and shows the plus mark.
  EXPECT_EQ(w.Notify(NM_CLICK, 5), 0);
  ASSERT_EQ(Rows(w.stackList), 14);
  EXPECT_EQ(Cell(w.stackList, 5, 0), "Running Thread: ID=2000; Priority=-2; Class=TWorker");
  EXPECT_EQ(Cell(w.stackList, 6, 0), "Calling Thread: ID=3000; Priority=1");
  EXPECT_EQ(Cell(w.stackList, 13, 4), "WaitForSingleObject");
  const int plus = Image(w.stackList, 5);
  EXPECT_GE(plus, 0);
  EXPECT_FALSE(distinct.count(plus));

  // A click on a frame row changes nothing; a click the control could not place on an item is
  // placed by its point.
  w.Notify(NM_CLICK, 1);
  EXPECT_EQ(Rows(w.stackList), 14);
  RECT first{};
  first.left = LVIR_BOUNDS;
  SendMessageA(w.stackList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  w.Notify(NM_CLICK, -1, {first.left + 300, (first.top + first.bottom) / 2});
  ASSERT_EQ(Rows(w.stackList), 10);
  EXPECT_EQ(Cell(w.stackList, 1, 0), "Running Thread: ID=2000; Priority=-2; Class=TWorker");

  // A real click of the mouse on the first group's row, through the control's own
  // notification, expands it again.
  const LPARAM at = MAKELPARAM(first.left + 300, (first.top + first.bottom) / 2);
  PostMessageA(w.stackList, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w.stackList, WM_LBUTTONUP, 0, at);
  Pump();
  ASSERT_EQ(Rows(w.stackList), 14);
  w.Notify(NM_CLICK, 5);
  ASSERT_EQ(Rows(w.stackList), 15);
  EXPECT_EQ(Cell(w.stackList, 6, 0), "00401B00");
  EXPECT_EQ(Cell(w.stackList, 4, 4), "WinMain");
  EXPECT_EQ(Cell(w.stackList, 14, 4), "WaitForSingleObject");
  EXPECT_EQ(Image(w.stackList, 5), minus);

  // For the picture: one group collapsed, a frame selected.
  w.Notify(NM_CLICK, 7);
  ASSERT_EQ(Rows(w.stackList), 13);
  LVITEMA selected{};
  selected.stateMask = selected.state = LVIS_SELECTED;
  SendMessageA(w.stackList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
  w.modules.Attach(w.modulesList, snapshot, options, ModuleWidths);
  Pump();
  const char* folder = std::getenv("DM_SHOT_DIR");
  EXPECT_TRUE(SaveWindowShot(w.window.get(),
                             std::string(folder ? folder : ".") + "/call-stack-lists.bmp"));
}

TEST(CallStackListWin32, MissingPicturesLeaveRowsWithoutIcons) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  // A module with none of the bitmaps.
  w.callStack.Attach(w.stackList, GetModuleHandleA("kernel32.dll"), snapshot, options,
                     StackWidths);
  ASSERT_EQ(Rows(w.stackList), 15);
  for (int row : {0, 1, 2, 3, 8}) EXPECT_LT(Image(w.stackList, row), 0) << row;
  w.Notify(NM_CLICK, 0);
  EXPECT_EQ(Rows(w.stackList), 11);
  // Attaching again replaces the rows and the pictures.
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), snapshot, options, StackWidths);
  EXPECT_EQ(Rows(w.stackList), 15);
  EXPECT_GE(Image(w.stackList, 1), 0);
  HWND header = reinterpret_cast<HWND>(SendMessageA(w.stackList, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 6);
}

TEST(CallStackListWin32, ColumnWidthsGoInAndComeBack) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), snapshot, options, StackWidths);
  w.modules.Attach(w.modulesList, snapshot, options, ModuleWidths);
  EXPECT_EQ(w.callStack.ColumnWidths(), StackWidths);
  EXPECT_EQ(w.modules.ColumnWidths(), ModuleWidths);
  // As the user drags a divider.
  SendMessageA(w.stackList, LVM_SETCOLUMNWIDTH, 4, 250);
  SendMessageA(w.modulesList, LVM_SETCOLUMNWIDTH, 6, 300);
  EXPECT_EQ(w.callStack.ColumnWidths()[4], 250);
  EXPECT_EQ(w.modules.ColumnWidths()[6], 300);
  // Once the window is gone the last widths read are kept.
  DestroyWindow(w.window.release());
  EXPECT_EQ(w.callStack.ColumnWidths()[4], 250);
  EXPECT_EQ(w.modules.ColumnWidths()[0], 70);
}

TEST(ModulesListWin32, RowsAreTheReportsModuleRowsByHandle) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.modules.Attach(w.modulesList, snapshot, options, ModuleWidths);
  ASSERT_EQ(Rows(w.modulesList), 3);
  HWND header = reinterpret_cast<HWND>(SendMessageA(w.modulesList, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 7);
  char caption[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = caption;
  column.cchTextMax = sizeof caption;
  SendMessageA(w.modulesList, LVM_GETCOLUMNA, 6, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(caption, options.GetText(90).c_str());
  EXPECT_EQ(Cell(w.modulesList, 0, 0), "00400000");
  EXPECT_EQ(Cell(w.modulesList, 0, 1), "Dialmoor.exe");
  EXPECT_EQ(Cell(w.modulesList, 0, 2), "Dialmoor clock");
  EXPECT_EQ(Cell(w.modulesList, 0, 3), "1.0.3.12");
  EXPECT_EQ(Cell(w.modulesList, 0, 4), "1048576");
  EXPECT_EQ(Cell(w.modulesList, 0, 5), "2026-12-01 08:30:00");
  EXPECT_EQ(Cell(w.modulesList, 0, 6), "C:\\Program Files\\Dialmoor");
  EXPECT_EQ(Cell(w.modulesList, 1, 1), "Chimes.dll");
  EXPECT_EQ(Cell(w.modulesList, 2, 0), "7C800000");
}

TEST(CallStackListWin32, ActivatingAFrameWithALineSendsItsSourceLocation) {
  UniqueFileHandle slot(CreateMailslotA("\\\\.\\mailslot\\OskedaLog2", 0, 0, nullptr));
  ASSERT_TRUE(slot);
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), snapshot, options, StackWidths);

  DWORD waiting = 0;
  // Neither a group row nor a frame without a line sends anything.
  w.Notify(LVN_ITEMACTIVATE, 0);
  w.Notify(LVN_ITEMACTIVATE, 2);
  ASSERT_TRUE(GetMailslotInfo(slot.get(), nullptr, nullptr, &waiting, nullptr));
  EXPECT_EQ(waiting, 0u);

  // A double click on "Ring" of the plug-in's thread, as the mouse gives it.
  RECT ring{};
  ring.left = LVIR_BOUNDS;
  SendMessageA(w.stackList, LVM_GETITEMRECT, 8, reinterpret_cast<LPARAM>(&ring));
  ASSERT_EQ(Cell(w.stackList, 8, 4), "Ring");
  const LPARAM at = MAKELPARAM(ring.left + 100, (ring.top + ring.bottom) / 2);
  PostMessageA(w.stackList, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w.stackList, WM_LBUTTONUP, 0, at);
  PostMessageA(w.stackList, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(w.stackList, WM_LBUTTONUP, 0, at);
  Pump();
  ASSERT_TRUE(GetMailslotInfo(slot.get(), nullptr, nullptr, &waiting, nullptr));
  ASSERT_EQ(waiting, 1u);
  TSourceLocationRecord record{};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(slot.get(), record.data(), 1000, &read, nullptr) ||
              GetLastError() == ERROR_INSUFFICIENT_BUFFER);
  ASSERT_EQ(read, SourceLocationRecordSize);
  const char* text = reinterpret_cast<const char*>(record.data());
  EXPECT_STREQ(text + SourceModuleOffset, "Dialmoor.exe");
  EXPECT_STREQ(text + SourceUnitOffset, "chimes/Bell.cpp");
  EXPECT_STREQ(text + SourceClassOffset, "TBell");
  EXPECT_STREQ(text + SourceProcedureOffset, "Ring");
  std::int32_t line = 0, offset = 0;
  double built = 0;
  std::memcpy(&line, text + SourceLineOffset, 4);
  std::memcpy(&offset, text + SourceLineOffsetOffset, 4);
  std::memcpy(&built, text + SourceBuildTimeOffset, 8);
  EXPECT_EQ(line, 88);
  EXPECT_EQ(offset, 40);
  EXPECT_EQ(built, snapshot.Application.BuildTime);
}

}  // namespace
