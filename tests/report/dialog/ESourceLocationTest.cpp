#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "report/dialog/ESourceLocation.h"

namespace {

std::string TextAt(const TSourceLocationRecord& r, std::size_t offset, std::size_t size) {
  const char* p = reinterpret_cast<const char*>(r.data() + offset);
  return std::string(p, strnlen(p, size));
}

std::uint32_t U32At(const TSourceLocationRecord& r, std::size_t offset) {
  return r[offset] | r[offset + 1] << 8 | r[offset + 2] << 16 | std::uint32_t(r[offset + 3]) << 24;
}

TEST(SourceLocationRecord, FieldsSitAtTheirOffsetsLittleEndian) {
  TSourceLocation l;
  l.ModuleFileName = "Dialmoor.exe";
  l.UnitName = "app/Unit1.cpp";
  l.ClassName = "TForm1";
  l.ProcedureName = "Timer1Timer";
  l.Line = 0x01020304;
  l.LineOffset = -1;
  l.BuildTime = 46357.5;
  const TSourceLocationRecord r = EncodeSourceLocation(l);
  EXPECT_EQ(r.size(), 376u);
  EXPECT_EQ(TextAt(r, SourceModuleOffset, SourceModuleSize), "Dialmoor.exe");
  EXPECT_EQ(TextAt(r, SourceUnitOffset, SourceUnitSize), "app/Unit1.cpp");
  EXPECT_EQ(TextAt(r, SourceClassOffset, SourceClassSize), "TForm1");
  EXPECT_EQ(TextAt(r, SourceProcedureOffset, SourceProcedureSize), "Timer1Timer");
  EXPECT_EQ(r[SourceLineOffset], 0x04);
  EXPECT_EQ(U32At(r, SourceLineOffset), 0x01020304u);
  EXPECT_EQ(U32At(r, SourceLineOffsetOffset), 0xFFFFFFFFu);
  // 46357.5 is 0x40E6A2B000000000 as an IEEE double.
  EXPECT_EQ(U32At(r, SourceBuildTimeOffset), 0u);
  EXPECT_EQ(U32At(r, SourceBuildTimeOffset + 4), 0x40E6A2B0u);
  // The unused rest of each text slot is zero.
  for (std::size_t i = SourceModuleOffset + 12; i < SourceUnitOffset; ++i) ASSERT_EQ(r[i], 0);
}

TEST(SourceLocationRecord, LongNamesAreCutAndKeepTheirTerminator) {
  TSourceLocation l;
  l.UnitName = std::string(64, 'u');
  l.ProcedureName = std::string(500, 'p');
  l.ClassName = std::string(63, 'c');
  const TSourceLocationRecord r = EncodeSourceLocation(l);
  EXPECT_EQ(TextAt(r, SourceUnitOffset, SourceUnitSize), std::string(63, 'u'));
  EXPECT_EQ(r[SourceUnitOffset + 63], 0);
  EXPECT_EQ(TextAt(r, SourceClassOffset, SourceClassSize), std::string(63, 'c'));
  EXPECT_EQ(TextAt(r, SourceProcedureOffset, SourceProcedureSize), std::string(103, 'p'));
  EXPECT_EQ(r[SourceLineOffset - 1], 0);
  EXPECT_EQ(U32At(r, SourceLineOffset), 0u);
}

TEST(SourceLocationRecord, LineOffsetIsTheNumberInTheBrackets) {
  EXPECT_EQ(ParseLineOffset("42[17]"), 17);
  EXPECT_EQ(ParseLineOffset("42[0]"), 0);
  EXPECT_EQ(ParseLineOffset("42[2147483647]"), 2147483647);
  EXPECT_EQ(ParseLineOffset("42"), -1);
  EXPECT_EQ(ParseLineOffset(""), -1);
  EXPECT_EQ(ParseLineOffset("42[]"), -1);
  EXPECT_EQ(ParseLineOffset("42[17"), -1);
  EXPECT_EQ(ParseLineOffset("42[-3]"), -1);
  EXPECT_EQ(ParseLineOffset("42[1 7]"), -1);
  EXPECT_EQ(ParseLineOffset("42[2147483648]"), -1);
  EXPECT_EQ(ParseLineOffset("42[99999999999999999999999]"), -1);
}

}  // namespace
