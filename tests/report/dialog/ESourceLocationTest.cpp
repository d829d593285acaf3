#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "report/dialog/ESourceLocation.h"

namespace {

std::string TextAt(const TSourceLocationRecord& r, std::size_t offset, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(r.data() + offset),
                     strnlen(reinterpret_cast<const char*>(r.data() + offset), size));
}

std::uint32_t U32At(const TSourceLocationRecord& r, std::size_t at) {
  return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | std::uint32_t(r[at + 3]) << 24;
}

TEST(SourceLocationRecord, FieldsSitAtTheirOffsetsLittleEndian) {
  const TSourceLocationRecord r =
      EncodeSourceLocation({"Dialmoor.exe", "app/Unit1.cpp", "TForm1", "Timer1Timer", 0x01020304,
                            -1, 46357.5});
  EXPECT_EQ(TextAt(r, SourceModuleOffset, SourceModuleSize), "Dialmoor.exe");
  EXPECT_EQ(TextAt(r, SourceUnitOffset, SourceUnitSize), "app/Unit1.cpp");
  EXPECT_EQ(TextAt(r, SourceClassOffset, SourceClassSize), "TForm1");
  EXPECT_EQ(TextAt(r, SourceProcedureOffset, SourceProcedureSize), "Timer1Timer");
  EXPECT_EQ(U32At(r, SourceLineOffset), 0x01020304u);
  EXPECT_EQ(U32At(r, SourceLineOffsetOffset), 0xFFFFFFFFu);
  // 46357.5 is 0x40E6A2B000000000 as an IEEE double.
  EXPECT_EQ(U32At(r, SourceBuildTimeOffset), 0u);
  EXPECT_EQ(U32At(r, SourceBuildTimeOffset + 4), 0x40E6A2B0u);
  for (std::size_t i = SourceModuleOffset + 12; i < SourceUnitOffset; ++i) ASSERT_EQ(r[i], 0);
}

TEST(SourceLocationRecord, LongNamesAreCutAndKeepTheirTerminator) {
  const TSourceLocationRecord r = EncodeSourceLocation(
      {"", std::string(64, 'u'), std::string(63, 'c'), std::string(500, 'p'), 0, 0, 0});
  EXPECT_EQ(TextAt(r, SourceUnitOffset, SourceUnitSize), std::string(63, 'u'));
  EXPECT_EQ(TextAt(r, SourceClassOffset, SourceClassSize), std::string(63, 'c'));
  EXPECT_EQ(TextAt(r, SourceProcedureOffset, SourceProcedureSize), std::string(103, 'p'));
  EXPECT_EQ(r[SourceLineOffset - 1], 0);
  EXPECT_EQ(U32At(r, SourceLineOffset), 0u);
}

TEST(SourceLocationRecord, LineOffsetIsTheNumberInTheBrackets) {
  EXPECT_EQ(ParseLineOffset("42[17]"), 17);
  EXPECT_EQ(ParseLineOffset("42[0]"), 0);
  EXPECT_EQ(ParseLineOffset("42[2147483647]"), 2147483647);
  for (const char* none : {"42", "", "42[]", "42[17", "42[-3]", "42[1 7]", "42[2147483648]",
                           "42[99999999999999999999999]"})
    EXPECT_EQ(ParseLineOffset(none), -1) << none;
}

}  // namespace
