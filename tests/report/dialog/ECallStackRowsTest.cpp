#include <gtest/gtest.h>

#include "report/dialog/ECallStackRows.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"
#include "tests/report/dialog/ECallStackTestSnapshot.h"

namespace {

// Options that list every kind of frame, with line offsets.
struct AllKinds : TOskedaModuleOptions {
  AllKinds() : TOskedaModuleOptions("Dialmoor.exe", false) {
    SetStackFlags({sfStackKind2, sfStackKind3, sfLineOffsets});
  }
};

TEST(CallStackRows, GroupsHoldTheReportsThreadLinesAndRows) {
  const TReportSnapshot s = FiveThreadSnapshot();
  const AllKinds options;
  const TCallStackRows rows(s, options);
  // Thread 4000 has no listed frame, so it has no group either.
  ASSERT_EQ(rows.Groups().size(), 5u);
  const std::size_t sizes[] = {4, 1, 2, 1, 2};
  std::vector<TTableRow> all;
  for (std::size_t g = 0; g < 5; ++g) {
    EXPECT_EQ(rows.Groups()[g].Frames.size(), sizes[g]);
    for (const TCallStackFrameRow& frame : rows.Groups()[g].Frames) all.push_back(frame.Cells);
  }
  // Each group row is a thread line of the report's block, each frame one of its rows.
  const std::string block = BuildCallStackBlock(s.Stack, s.Threads, options);
  const std::vector<std::size_t> widths = ColumnWidths(CallStackHeaders(options), all, {8});
  for (const TCallStackGroup& group : rows.Groups())
    EXPECT_NE(block.find("|" + group.ThreadText + " "), std::string::npos) << group.ThreadText;
  for (const TTableRow& cells : all)
    EXPECT_NE(block.find("\r\n" + TableRow(cells, widths) + "\r\n"), std::string::npos) << cells[0];
  EXPECT_TRUE(TCallStackRows(TReportSnapshot{}, options).Visible().empty());
}

TEST(CallStackRows, TogglingAGroupRowHidesAndRestoresOnlyItsFrames) {
  TCallStackRows rows(FiveThreadSnapshot(), AllKinds());
  ASSERT_EQ(rows.Visible().size(), 15u);  // 5 groups and 10 frames, all expanded at first
  EXPECT_FALSE(rows.Toggle(1));           // a frame row
  EXPECT_FALSE(rows.Toggle(15));
  EXPECT_EQ(rows.Visible().size(), 15u);

  ASSERT_TRUE(rows.Toggle(0));
  EXPECT_FALSE(rows.Groups()[0].Expanded);
  ASSERT_EQ(rows.Visible().size(), 11u);
  EXPECT_EQ(rows.GroupAt(1), &rows.Groups()[1]);
  EXPECT_EQ(rows.FrameAt(2)->Cells[0], "00401B00");
  ASSERT_TRUE(rows.Toggle(8));  // the last group
  EXPECT_EQ(rows.Visible().size(), 9u);
  EXPECT_EQ(rows.GroupAt(8), &rows.Groups()[4]);

  ASSERT_TRUE(rows.Toggle(0));
  EXPECT_EQ(rows.Visible().size(), 13u);
  EXPECT_EQ(rows.FrameAt(4)->Cells[0], "00401100");
  EXPECT_EQ(rows.GroupAt(4), nullptr);
  EXPECT_EQ(rows.FrameAt(5), nullptr);
}

TEST(CallStackRows, EachFrameGetsTheIconOfWhatItsCodeIs) {
  const TCallStackRows rows(FiveThreadSnapshot(), AllKinds());
  const auto& g = rows.Groups();
  EXPECT_EQ(g[0].Frames[0].Icon, TFrameIcon::Pas);
  EXPECT_EQ(g[0].Frames[1].Icon, TFrameIcon::Vcl);
  EXPECT_EQ(g[0].Frames[2].Icon, TFrameIcon::Dll);
  EXPECT_EQ(g[0].Frames[3].Icon, TFrameIcon::Pas);  // the program file, spelt otherwise
  EXPECT_EQ(g[2].Frames[0].Icon, TFrameIcon::Bpl);
  EXPECT_EQ(FrameIconOf(TOskedaStackEntry{}, ListExe), TFrameIcon::None);
}

TEST(CallStackRows, OnlyFramesWithALineGiveASourceLocation) {
  const TReportSnapshot s = FiveThreadSnapshot();
  const TCallStackRows rows(s, AllKinds());
  EXPECT_FALSE(rows.SourceLocationAt(0));  // group row
  EXPECT_FALSE(rows.SourceLocationAt(2));  // runtime frame without a line
  EXPECT_FALSE(rows.SourceLocationAt(99));
  const std::optional<TSourceLocation> ring = rows.SourceLocationAt(8);
  ASSERT_TRUE(ring);
  EXPECT_EQ(ring->ModuleFileName, "Dialmoor.exe");
  EXPECT_EQ(ring->UnitName + ring->ClassName + ring->ProcedureName, "chimes/Bell.cppTBellRing");
  EXPECT_EQ(ring->Line, 88);
  EXPECT_EQ(ring->LineOffset, 40);
  EXPECT_EQ(ring->BuildTime, s.Application.BuildTime);

  // Without offsets in the line cells the offset is unknown; options without a module name
  // are the program's own.
  const std::optional<TSourceLocation> top =
      TCallStackRows(s, TOskedaModuleOptions("", false)).SourceLocationAt(1);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->LineOffset, -1);
  EXPECT_EQ(top->ModuleFileName, "Dialmoor.exe");
}

}  // namespace
