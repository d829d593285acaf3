#include "report/dialog/EDialogWindowState.h"

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/IniFileMemory.h"

namespace {

constexpr const char* File = "OskedaLog.ini";

TEST(DialogWindowState, MissingFileGivesTheDefaults) {
  MemoryIniStore store;
  TIniFile ini(File, store);
  const TDialogWindowState s = ReadDialogWindowState(ini);
  EXPECT_EQ(s.Width, 745);
  EXPECT_EQ(s.Height, 468);
  EXPECT_FALSE(s.HasLeft || s.HasTop);
  EXPECT_EQ(s.WindowsState, 1);
  EXPECT_EQ(s.Col, (std::array<int, 6>{89, 92, 126, 126, 200, 61}));
  const TDialogRect r = PlaceDialogWindow(s, 34, 1280, 1024);
  EXPECT_EQ(r, (TDialogRect{(1280 - 745) / 2, (1024 - 502) / 2, 745, 502}));
}

TEST(DialogWindowState, RoundTripKeepsEveryKey) {
  MemoryIniStore store;
  TIniFile ini(File, store);
  TDialogWindowState s;
  s.Width = 800;
  s.Height = 500;
  s.Left = 12;
  s.Top = 34;
  s.HasLeft = s.HasTop = true;
  s.Col = {1, 2, 3, 4, 5, 6};
  s.ColMod = {7, 8, 9, 10, 11, 12, 13};
  s.Known = true;
  ASSERT_TRUE(WriteDialogWindowState(ini, s));
  EXPECT_EQ(ReadDialogWindowState(ini), s);
  EXPECT_NE(store.Text(File)->find("ColMod6=13"), std::string::npos);
}

TEST(DialogWindowState, MaximisedOrUnknownWindowsKeepTheirSize) {
  MemoryIniStore store;
  TIniFile ini(File, store);
  TDialogWindowState s;
  ASSERT_TRUE(WriteDialogWindowState(ini, s));
  EXPECT_FALSE(store.Text(File)) << "nothing is written while the size was never known";
  s.Known = true;
  s.WindowsState = 3;
  s.Width = 999;
  ASSERT_TRUE(WriteDialogWindowState(ini, s));
  const std::string text = *store.Text(File);
  EXPECT_NE(text.find("WindowsState=3"), std::string::npos);
  EXPECT_EQ(text.find("Width"), std::string::npos);
}

TEST(DialogWindowState, BadValuesArePulledBack) {
  MemoryIniStore store;
  store.SetText(File,
                "[Coordinates]\nWidth=700\nHeight=400\nLeft=-50\nTop=-7\nCol2=-9\n"
                "ColMod1=abc\n");
  TIniFile ini(File, store);
  TDialogWindowState s = ReadDialogWindowState(ini);
  EXPECT_EQ(s.Left, 0);
  EXPECT_EQ(s.Top, 0);
  EXPECT_TRUE(s.HasLeft);
  EXPECT_EQ(s.Col[2], 0);
  EXPECT_EQ(s.ColMod[1], 110);

  s.Left = 1000;
  s.Top = 900;
  EXPECT_EQ(PlaceDialogWindow(s, 20, 1280, 1024), (TDialogRect{580, 604, 700, 420}))
      << "moved back inside the right and bottom edges";
  s.Width = 2000;
  EXPECT_EQ(PlaceDialogWindow(s, 20, 1280, 1024).Left, 0) << "wider than the screen: left edge";

  store.SetText(File, "[Coordinates]\nWidth=0\nHeight=-5\n");
  s = ReadDialogWindowState(ini);
  EXPECT_EQ(s.Width, 745);
  EXPECT_EQ(s.Height, 468);
}

TEST(DialogWindowState, FailedWriteIsReported) {
  MemoryIniStore store;
  store.RefuseWrites(2);
  TIniFile ini(File, store);
  TDialogWindowState s;
  s.Known = true;
  EXPECT_FALSE(WriteDialogWindowState(ini, s));
}

}  // namespace
