#include <gtest/gtest.h>

#include "report/dialog/ECallStackRows.h"
#include "report/options/ECoreOptions.h"
#include "report/text/EReportBlocks.h"
#include "tests/report/dialog/ECallStackTestSnapshot.h"

namespace {

// Options of the program that list every kind of frame, with line offsets.
struct AllKinds : TOskedaModuleOptions {
  AllKinds() : TOskedaModuleOptions("Dialmoor.exe", false) {
    SetStackFlags({sfStackKind2, sfStackKind3, sfLineOffsets});
  }
};

std::vector<std::string> Addresses(const TCallStackGroup& group) {
  std::vector<std::string> out;
  for (const TCallStackFrameRow& row : group.Frames) out.push_back(row.Cells[0]);
  return out;
}

TEST(CallStackRows, GroupsFollowTheReportsThreadLinesAndListedFrames) {
  const TReportSnapshot s = FiveThreadSnapshot();
  const AllKinds options;
  const TCallStackRows rows(s, options);

  // Thread 4000 has no listed frame, so it has no group either.
  ASSERT_EQ(rows.Groups().size(), 5u);
  EXPECT_EQ(Addresses(rows.Groups()[0]),
            (std::vector<std::string>{"00401A2B", "00402000", "7C801234", "00401100"}));
  EXPECT_EQ(Addresses(rows.Groups()[2]), (std::vector<std::string>{"10001010", "10001200"}));
  EXPECT_EQ(Addresses(rows.Groups()[4]), (std::vector<std::string>{"00401D00", "7C802000"}));

  // Each group row reads as the thread line of the report's call-stack block, and each frame
  // row as one of the report's frame rows, cell for cell.
  const std::string block = BuildCallStackBlock(s.Stack, s.Threads, options);
  std::vector<TTableRow> all;
  for (const TCallStackGroup& group : rows.Groups())
    for (const TCallStackFrameRow& frame : group.Frames) all.push_back(frame.Cells);
  const std::vector<std::size_t> widths = ColumnWidths(CallStackHeaders(options), all, {8});
  for (const TCallStackGroup& group : rows.Groups())
    EXPECT_NE(block.find("|" + group.ThreadText + " "), std::string::npos) << group.ThreadText;
  for (const TTableRow& cells : all)
    EXPECT_NE(block.find("\r\n" + TableRow(cells, widths) + "\r\n"), std::string::npos)
        << cells[0];
  EXPECT_EQ(rows.Groups()[0].ThreadText.rfind("Exception Thread: ID=1234", 0), 0u);
  EXPECT_EQ(rows.Groups()[0].Frames[0].Cells[5], "42[3]");
}

TEST(CallStackRows, ARunningFlagChangeOnOneThreadStartsANewGroup) {
  TReportSnapshot s;
  s.Stack = {ListFrame(7, false, 4, 0x401000, ListExe, "a.cpp", "", "A", 1),
             ListFrame(7, true, 4, 0x401010, ListExe, "a.cpp", "", "B", 2),
             ListFrame(7, true, 4, 0x401020, ListExe, "a.cpp", "", "C", 3)};
  const TCallStackRows rows(s, TOskedaModuleOptions("x.exe", false));
  ASSERT_EQ(rows.Groups().size(), 2u);
  EXPECT_EQ(rows.Groups()[1].Frames.size(), 2u);
  EXPECT_EQ(rows.Groups()[1].ThreadText.rfind("Running Thread", 0), 0u);
}

TEST(CallStackRows, NothingListedGivesNoRows) {
  TReportSnapshot s = FiveThreadSnapshot();
  for (TOskedaStackEntry& e : s.Stack) e.Kind = mkNoSymbols;
  TCallStackRows rows(s, AllKinds());
  EXPECT_TRUE(rows.Groups().empty());
  EXPECT_TRUE(rows.Visible().empty());
  EXPECT_FALSE(rows.Toggle(0));
}

TEST(CallStackRows, TogglingAGroupRowHidesAndRestoresOnlyItsFrames) {
  TCallStackRows rows(FiveThreadSnapshot(), AllKinds());
  // 5 group rows and 10 frames, all expanded at first.
  ASSERT_EQ(rows.Visible().size(), 15u);
  ASSERT_TRUE(rows.Visible()[5].IsGroup());
  EXPECT_EQ(rows.Visible()[5].Group, 1u);

  EXPECT_FALSE(rows.Toggle(1));  // a frame row
  EXPECT_FALSE(rows.Toggle(15));
  EXPECT_EQ(rows.Visible().size(), 15u);

  ASSERT_TRUE(rows.Toggle(0));
  EXPECT_FALSE(rows.Groups()[0].Expanded);
  ASSERT_EQ(rows.Visible().size(), 11u);
  EXPECT_TRUE(rows.Visible()[1].IsGroup());
  EXPECT_EQ(rows.Visible()[1].Group, 1u);
  EXPECT_EQ(rows.FrameAt(2)->Cells[0], "00401B00");

  // Collapsing the last group leaves the rows before it as they are.
  ASSERT_TRUE(rows.Toggle(8));
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
  // The program file under another spelling of its path is still the program file.
  EXPECT_EQ(g[0].Frames[3].Icon, TFrameIcon::Pas);
  EXPECT_EQ(g[2].Frames[0].Icon, TFrameIcon::Bpl);
  TOskedaStackEntry unknown;
  unknown.Kind = mkNoSymbols;
  EXPECT_EQ(FrameIconOf(unknown, ListExe), TFrameIcon::None);
}

TEST(CallStackRows, OnlyFramesWithALineGiveASourceLocation) {
  const AllKinds options;
  const TReportSnapshot s = FiveThreadSnapshot();
  const TCallStackRows rows(s, options);
  EXPECT_FALSE(rows.SourceLocationAt(0));  // group row
  EXPECT_FALSE(rows.SourceLocationAt(2));  // runtime frame without a line
  EXPECT_FALSE(rows.SourceLocationAt(99));

  const std::optional<TSourceLocation> ring = rows.SourceLocationAt(8);
  ASSERT_TRUE(ring);
  EXPECT_EQ(ring->ModuleFileName, "Dialmoor.exe");
  EXPECT_EQ(ring->UnitName, "chimes/Bell.cpp");
  EXPECT_EQ(ring->ClassName, "TBell");
  EXPECT_EQ(ring->ProcedureName, "Ring");
  EXPECT_EQ(ring->Line, 88);
  EXPECT_EQ(ring->LineOffset, 40);
  EXPECT_EQ(ring->BuildTime, s.Application.BuildTime);

  // Without line offsets in the cells the offset is unknown; options without a module name
  // are the program's own.
  TOskedaModuleOptions plain("", false);
  const std::optional<TSourceLocation> top = TCallStackRows(s, plain).SourceLocationAt(1);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->Line, 42);
  EXPECT_EQ(top->LineOffset, -1);
  EXPECT_EQ(top->ModuleFileName, "Dialmoor.exe");
}

}  // namespace
