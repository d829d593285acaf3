#include <gtest/gtest.h>

#include "platform/gui/ComCtrlsWin32.h"
#include "platform/gui/FormsWin32.h"
#include "platform/ListSort.h"
#include "tests/platform/gui/GuiTestUtilWin32.h"

namespace {

struct Zone {
  int bias;
  const char* name;
};

std::string GmtText(int bias) {
  if (bias == 0) return "";
  const int a = bias < 0 ? -bias : bias;
  return Format("%s%.2d:%.2d", bias < 0 ? "+" : "-", a / 60, a % 60);
}

class TListForm : public TForm {
 public:
  TListForm() {
    SetBorderStyle(bsSingle);
    SetClientSize(420, 200);
    lvTZ = new TListView(this);
    lvTZ->SetBounds(5, 8, 386, 150);
    lvTZ->AddColumn("GMT", 40);
    lvTZ->AddColumn("Name", 114);
    lvTZ->AddColumn("StdB", 35, taRightJustify);
    lvTZ->AddColumn("Date Time", 100, taCenter);
    lvTZ->SetRowSelect(true);
    lvTZ->SetHideSelection(false);
    lvTZ->SetReadOnly(true);
    lvTZ->SetSortType(stData);
    lvTZ->OnCompare = Handler(this, &TListForm::lvTZCompare);
    lvTZ->OnClick = Handler(this, &TListForm::lvTZClick);
    SetVisible(true);
  }
  // West to east, then by caption.
  void lvTZCompare(TObject*, TListItem* Item1, TListItem* Item2, int, int& Compare) {
    ++compares;
    if (throwInCompare) throw Exception("compare failed");
    const int o1 = -static_cast<Zone*>(Item1->Data())->bias;
    const int o2 = -static_cast<Zone*>(Item2->Data())->bias;
    if (o1 != o2)
      Compare = o1 < o2 ? -1 : 1;
    else
      Compare = CompareText(Item1->Caption(), Item2->Caption());
  }
  void lvTZClick(TObject* Sender) {
    clicks.push_back(Sender);
    TListItem* selected = lvTZ->Selected();
    clickedZone = selected ? static_cast<Zone*>(selected->Data()) : nullptr;
  }
  void Fill(std::vector<Zone>& zones) {
    lvTZ->ClearItems();
    for (Zone& z : zones) {
      TListItem* item = lvTZ->AddItem();
      item->SetData(&z);
      item->SetCaption(GmtText(z.bias));
      item->SubItems().Add(z.name);
      item->SubItems().Add(std::to_string(z.bias));
      item->SubItems().Add("");
    }
  }
  TListView* lvTZ;
  int compares = 0;
  bool throwInCompare = false;
  std::vector<TObject*> clicks;
  Zone* clickedZone = nullptr;
};

std::vector<Zone> SomeZones() {
  return {{0, "GMT"},          {-60, "Romance"},  {300, "Eastern"},   {-330, "India"},
          {-60, "W. Europe"},  {0, "Greenwich"},  {-345, "Nepal"},    {480, "Pacific"}};
}

TEST(ListView, ColumnsHaveTheirWidthsAndAlignments) {
  FormHolder<TListForm> f;
  HWND list = f->lvTZ->Handle();
  LVCOLUMNA column{};
  char text[64];
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETCOLUMNA, 2, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(text, "StdB");
  EXPECT_EQ(column.cx, 35);
  EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  SendMessageA(list, LVM_GETCOLUMNA, 3, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
  EXPECT_EQ(f->lvTZ->Column(0)->Width(), 40);
  EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LVS_SHOWSELALWAYS);
}

TEST(ListView, AttachingDataSortsTheRowsWithTheCompareEvent) {
  FormHolder<TListForm> f;
  auto zones = SomeZones();
  f->Fill(zones);
  HWND list = f->lvTZ->Handle();
  ASSERT_EQ(f->lvTZ->ItemCount(), 8);
  EXPECT_GT(f->compares, 0);
  std::vector<std::string> names, captions;
  for (int row = 0; row < 8; ++row) {
    names.push_back(ListCell(list, row, 1));
    captions.push_back(ListCell(list, row, 0));
    EXPECT_EQ(static_cast<Zone*>(f->lvTZ->Item(row)->Data())->name, names.back());
    EXPECT_EQ(f->lvTZ->Item(row)->Index(), row);
  }
  // A row is sorted when its data is attached and its caption is still empty: among equal
  // offsets the newer row comes first.
  EXPECT_EQ(names, (std::vector<std::string>{"Pacific", "Eastern", "GMT", "Greenwich",
                                             "W. Europe", "Romance", "India", "Nepal"}));
  EXPECT_EQ(captions[7], "+05:45");
  EXPECT_EQ(captions[2], "");
  EXPECT_EQ(ListCell(list, 1, 2), "300");
}

TEST(ListView, ACompareEventThatThrowsIsReportedAndNoRowIsLost) {
  FormHolder<TListForm> f;
  auto zones = SomeZones();
  f->Fill(zones);
  int reported = 0;
  Application->OnException = [&](TObject* Sender, std::exception_ptr) {
    EXPECT_EQ(Sender, f->lvTZ);
    ++reported;
  };
  f->throwInCompare = true;
  f->lvTZ->AlphaSort();
  Application->OnException = nullptr;
  EXPECT_GT(reported, 0);
  std::vector<std::string> names;
  for (int row = 0; row < f->lvTZ->ItemCount(); ++row) names.push_back(ListCell(f->lvTZ->Handle(), row, 1));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Eastern", "GMT", "Greenwich", "India", "Nepal",
                                             "Pacific", "Romance", "W. Europe"}));
}

TEST(ListView, SelectingARowDeselectsTheOtherAndScrollsItIntoView) {
  FormHolder<TListForm> f;
  std::vector<Zone> zones;
  for (int i = 0; i < 60; ++i) zones.push_back({600 - i * 20, "Zone"});
  f->Fill(zones);
  HWND list = f->lvTZ->Handle();
  f->lvTZ->Item(20)->SetSelected(true);
  f->lvTZ->Item(50)->SetSelected(true);
  EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(f->lvTZ->Selected(), f->lvTZ->Item(50));
  EXPECT_FALSE(f->lvTZ->Item(20)->Selected());
  EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
  f->lvTZ->Item(50)->MakeVisible(false);
  Pump();
  RECT row{LVIR_BOUNDS, 0, 0, 0}, client;
  SendMessageA(list, LVM_GETITEMRECT, 50, reinterpret_cast<LPARAM>(&row));
  GetClientRect(list, &client);
  EXPECT_GT(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
  EXPECT_GE(row.top, 0);
  EXPECT_LE(row.bottom, client.bottom);
  f->lvTZ->SetSelected(nullptr);
  EXPECT_EQ(f->lvTZ->Selected(), nullptr);
}

TEST(ListView, AClickOnARowSelectsItAndRaisesOnClick) {
  FormHolder<TListForm> f;
  auto zones = SomeZones();
  f->Fill(zones);
  HWND list = f->lvTZ->Handle();
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageA(list, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
  ClickAt(list, (row.left + row.right) / 2, (row.top + row.bottom) / 2);
  ASSERT_EQ(f->clicks.size(), 1u);
  EXPECT_EQ(f->clicks[0], f->lvTZ);
  ASSERT_NE(f->clickedZone, nullptr);
  EXPECT_STREQ(f->clickedZone->name, "Greenwich");
}

TEST(ListView, SubItemTextsChangeInPlaceAndBadIndexesRaise) {
  FormHolder<TListForm> f;
  auto zones = SomeZones();
  f->Fill(zones);
  TListItem* item = f->lvTZ->Item(4);
  item->SubItems().Set(2, "2026.12.07 14:05");
  EXPECT_EQ(ListCell(f->lvTZ->Handle(), 4, 3), "2026.12.07 14:05");
  EXPECT_EQ(item->SubItems()[2], "2026.12.07 14:05");
  EXPECT_THROW(item->SubItems().Set(3, "x"), EListError);
  EXPECT_THROW(item->SubItems()[-1], EListError);
  EXPECT_THROW(f->lvTZ->Item(8), EListError);
}

}  // namespace
