#include <gtest/gtest.h>

#include "platform/win/UniqueHandle.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "report/dialog/ECallStackListWin32.h"
#include "report/dialog/EModulesListWin32.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"
#include "tests/platform/gui/WindowShotWin32.h"
#include "tests/report/dialog/ECallStackTestSnapshot.h"

namespace {

// A plain window holding both lists (created as icon views: Attach makes them report views),
// passing its notifications on as the dialog does.
struct ListsWindow {
  TCallStackListView callStack;
  TModulesListView modules;
  UniqueWindow window;
  HWND stackList = nullptr, modulesList = nullptr;

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListsWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (message == WM_NOTIFY && self &&
        self->callStack.OnNotify(*reinterpret_cast<NMHDR*>(lParam), result))
      return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  ListsWindow() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "CallStackListsTest";
    RegisterClassA(&wc);
    window.reset(CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                 20, 860, 560, nullptr, nullptr, nullptr, nullptr));
    SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const DWORD style = WS_CHILD | WS_VISIBLE | LVS_ICON;
    stackList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 8, 8, 830, 310,
                                window.get(), nullptr, nullptr, nullptr);
    modulesList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 8, 326, 830, 190,
                                  window.get(), nullptr, nullptr, nullptr);
  }

  void Notify(UINT code, int item, POINT at = {}) {
    NMITEMACTIVATE n{};
    n.hdr = {stackList, 0, code};
    n.iItem = item;
    n.ptAction = at;
    SendMessageA(window.get(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  }
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i)
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Posts the mouse's messages of a click (and of a double click) at a point, and pumps.
void ClickAt(HWND window, int x, int y, bool twice = false) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(window, WM_LBUTTONUP, 0, at);
  if (twice) PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  if (twice) PostMessageA(window, WM_LBUTTONUP, 0, at);
  Pump();
}

std::string ListCell(HWND list, int row, int column) {
  char buffer[512] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int Image(HWND list, int row) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

// Every row as the list shows it, and as it should show `rows`.
std::vector<TTableRow> Shown(HWND list, std::size_t columns) {
  std::vector<TTableRow> rows(static_cast<std::size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < columns; ++c) rows[r].push_back(ListCell(list, int(r), int(c)));
  return rows;
}
std::vector<TTableRow> Expected(const TCallStackRows& model) {
  std::vector<TTableRow> rows;
  for (std::size_t i = 0; i < model.Visible().size(); ++i)
    rows.push_back(model.GroupAt(i) ? TTableRow{model.GroupAt(i)->ThreadText, "", "", "", "", ""}
                                    : model.FrameAt(i)->Cells);
  return rows;
}

struct AllKinds : TOskedaModuleOptions {
  AllKinds() : TOskedaModuleOptions("Dialmoor.exe", false) {
    SetStackFlags({sfStackKind2, sfStackKind3, sfLineOffsets});
  }
};
const std::array<int, 6> StackWidths = DefaultCallStackColumnWidths;
const std::array<int, 7> ModuleWidths = {70, 90, 110, 90, 70, 125, 240};

TEST(CallStackListWin32, GroupsCollapseAndExpandByClicksAndWidthsComeBack) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), snapshot, options, StackWidths);
  const TCallStackRows& model = w.callStack.Rows();
  EXPECT_EQ(GetWindowLongPtrA(w.stackList, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(SendMessageA(w.stackList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
              LVS_EX_FULLROWSELECT);
  ASSERT_EQ(Shown(w.stackList, 6).size(), 15u);
  EXPECT_EQ(Shown(w.stackList, 6), Expected(model));
  EXPECT_EQ(ListCell(w.stackList, 0, 0), "Exception Thread: ID=1234; Priority=0; [Main]");

  // The minus mark and four kind icons: five distinct pictures; the plus mark a sixth.
  const std::set<int> pictures = {Image(w.stackList, 0), Image(w.stackList, 1),
                                  Image(w.stackList, 2), Image(w.stackList, 3),
                                  Image(w.stackList, 8)};
  EXPECT_EQ(pictures.size(), 5u);
  EXPECT_GE(*pictures.begin(), 0);

  // A click on a frame row changes nothing, on the second group's row it collapses it; a
  // click the control could not place on a row is placed by its point.
  w.Notify(NM_CLICK, 1);
  w.Notify(NM_CLICK, 5);
  EXPECT_EQ(Shown(w.stackList, 6), Expected(model));
  EXPECT_EQ(Shown(w.stackList, 6).size(), 14u);
  EXPECT_GE(Image(w.stackList, 5), 0);
  EXPECT_FALSE(pictures.count(Image(w.stackList, 5)));
  RECT first{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(w.stackList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const POINT at = {first.left + 300, (first.top + first.bottom) / 2};
  w.Notify(NM_CLICK, -1, at);
  EXPECT_EQ(Shown(w.stackList, 6).size(), 10u);
  // A real click of the mouse expands it again.
  ClickAt(w.stackList, at.x, at.y);
  EXPECT_EQ(Shown(w.stackList, 6), Expected(model));
  EXPECT_EQ(Shown(w.stackList, 6).size(), 14u);

  EXPECT_EQ(w.callStack.ColumnWidths(), StackWidths);
  SendMessageA(w.stackList, LVM_SETCOLUMNWIDTH, 4, 250);  // as the user drags a divider
  EXPECT_EQ(w.callStack.ColumnWidths()[4], 250);

  // For the picture: a frame selected, the modules below.
  LVITEMA selected{};
  selected.stateMask = selected.state = LVIS_SELECTED;
  SendMessageA(w.stackList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
  w.modules.Attach(w.modulesList, snapshot, options, ModuleWidths);
  Pump();
  Sleep(300);
  Pump();
  const char* folder = std::getenv("DM_SHOT_DIR");
  EXPECT_TRUE(SaveWindowShot(w.window.get(),
                             std::string(folder ? folder : ".") + "/call-stack-lists.bmp"));
  // The widths outlive the window: the dialog reads them as it closes.
  DestroyWindow(w.window.release());
  EXPECT_EQ(w.callStack.ColumnWidths()[4], 250);
}

TEST(CallStackListWin32, MissingPicturesLeaveRowsWithoutIcons) {
  const AllKinds options;
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA("kernel32.dll"), FiveThreadSnapshot(),
                     options, StackWidths);
  for (int row : {0, 1, 2, 3, 8}) EXPECT_LT(Image(w.stackList, row), 0) << row;
  w.Notify(NM_CLICK, 0);
  EXPECT_EQ(Shown(w.stackList, 6).size(), 11u);
}

TEST(ModulesListWin32, RowsAndWidthsAreTheReportsModuleTable) {
  const TReportSnapshot snapshot = FiveThreadSnapshot();
  const AllKinds options;
  ListsWindow w;
  w.modules.Attach(w.modulesList, snapshot, options, ModuleWidths);
  EXPECT_EQ(Shown(w.modulesList, 7), ModulesRows(snapshot.Modules, options));
  EXPECT_EQ(ListCell(w.modulesList, 0, 1), "Dialmoor.exe");
  char caption[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = caption;
  column.cchTextMax = sizeof caption;
  SendMessageA(w.modulesList, LVM_GETCOLUMNA, 6, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(caption, options.GetText(90).c_str());
  EXPECT_EQ(w.modules.ColumnWidths(), ModuleWidths);
  SendMessageA(w.modulesList, LVM_SETCOLUMNWIDTH, 6, 300);
  EXPECT_EQ(w.modules.ColumnWidths()[6], 300);
}

TEST(CallStackListWin32, ADoubleClickOnAFrameWithALineSendsItsSourceLocation) {
  UniqueFileHandle slot(CreateMailslotA("\\\\.\\mailslot\\OskedaLog2", 0, 0, nullptr));
  ASSERT_TRUE(slot);
  ListsWindow w;
  w.callStack.Attach(w.stackList, GetModuleHandleA(nullptr), FiveThreadSnapshot(), AllKinds(),
                     StackWidths);
  // Neither a group row nor a frame without a line sends anything.
  w.Notify(LVN_ITEMACTIVATE, 0);
  w.Notify(LVN_ITEMACTIVATE, 2);
  DWORD waiting = 0;
  ASSERT_TRUE(GetMailslotInfo(slot.get(), nullptr, nullptr, &waiting, nullptr));
  EXPECT_EQ(waiting, 0u);

  RECT ring{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(w.stackList, LVM_GETITEMRECT, 8, reinterpret_cast<LPARAM>(&ring));
  ClickAt(w.stackList, ring.left + 100, (ring.top + ring.bottom) / 2, true);
  ASSERT_TRUE(GetMailslotInfo(slot.get(), nullptr, nullptr, &waiting, nullptr));
  ASSERT_EQ(waiting, 1u);
  char received[1024] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(slot.get(), received, sizeof received, &read, nullptr));
  ASSERT_EQ(read, SourceLocationRecordSize);
  EXPECT_STREQ(received + SourceProcedureOffset, "Ring");
  const TSourceLocationRecord sent = EncodeSourceLocation(*w.callStack.Rows().SourceLocationAt(8));
  EXPECT_EQ(std::memcmp(received, sent.data(), sent.size()), 0);
}

}  // namespace
