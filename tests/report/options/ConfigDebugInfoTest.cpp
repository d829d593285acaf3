// The debug-information tables: address lookup at the edges of procedures and lines, the
// stored form, hostile stored forms, and the per-module lookup of the record list.
#include <gtest/gtest.h>

#include "report/options/EDebugInfo.h"
#include "report/options/EDebugInfoNames.h"
#include "delivery/log/ECallStackNames.h"
#include "report/options/EModuleConfig.h"

namespace {

TDebugInfo ClockInfo() {
  TDebugInfo info;
  const TDebugLine tick[] = {{0x1000, 40}, {0x1006, 41}, {0x1010, 39}, {0x1018, 44}};
  info.AddProcedure(0x1000, 0x20, "app/Unit1.cpp", "TForm1", "Timer1Timer", tick);
  // A gap of code the tables do not describe, then a procedure that starts without a row.
  const TDebugLine help[] = {{0x1044, 7}};
  info.AddProcedure(0x1040, 0x10, "tz/VmoDates.cpp", "", "IsLeapYear", help);
  return info;
}

TEST(DebugInfo, LookupFindsProcedureLineAndLineStart) {
  const TDebugInfo info = ClockInfo();
  const TDebugLocation entry = info.Lookup(0x1000);
  ASSERT_TRUE(entry.Found);
  EXPECT_EQ(entry.Unit, "app/Unit1.cpp");
  EXPECT_EQ(entry.ClassName, "TForm1");
  EXPECT_EQ(entry.Procedure, "Timer1Timer");
  EXPECT_EQ(entry.Line, 40u);
  EXPECT_EQ(entry.LineOffset, 0x1000u);

  EXPECT_EQ(info.Lookup(0x1005).Line, 40u);
  EXPECT_EQ(info.Lookup(0x1006).Line, 41u);
  const TDebugLocation backwards = info.Lookup(0x1012);  // lines need not rise
  EXPECT_EQ(backwards.Line, 39u);
  EXPECT_EQ(backwards.LineOffset, 0x1010u);
  EXPECT_EQ(info.Lookup(0x101F).Line, 44u);  // last byte

  EXPECT_FALSE(info.Lookup(0x1020).Found);  // first byte after
  EXPECT_FALSE(info.Lookup(0x0FFF).Found);
  EXPECT_FALSE(info.Lookup(0x1030).Found);  // in the gap
  EXPECT_FALSE(info.Lookup(0xFFFFFFFF).Found);

  const TDebugLocation noRowYet = info.Lookup(0x1041);
  EXPECT_TRUE(noRowYet.Found);
  EXPECT_EQ(noRowYet.Procedure, "IsLeapYear");
  EXPECT_EQ(noRowYet.ClassName, "");
  EXPECT_EQ(noRowYet.Line, 0u);
  EXPECT_EQ(info.CodeSize(), 0x30u);
  EXPECT_NE(info.FindProcedure("TForm1::Timer1Timer"), nullptr);
  EXPECT_NE(info.FindProcedure("IsLeapYear"), nullptr);
  EXPECT_EQ(info.FindProcedure("Timer1Timer"), nullptr);
  EXPECT_EQ(info.FindProcedure("TForm2::Timer1Timer"), nullptr);
}

TEST(DebugInfo, BuildingRefusesOverlapsAndStrayRows) {
  TDebugInfo info = ClockInfo();
  EXPECT_THROW(info.AddProcedure(0x1048, 4, "u", "", "p", {}), EDebugInfoError);  // overlaps
  EXPECT_THROW(info.AddProcedure(0x2000, 0, "u", "", "p", {}), EDebugInfoError);
  const TDebugLine outside[] = {{0x3010, 1}};
  EXPECT_THROW(info.AddProcedure(0x3000, 0x10, "u", "", "p", outside), EDebugInfoError);
  const TDebugLine unordered[] = {{0x3004, 1}, {0x3004, 2}};
  EXPECT_THROW(info.AddProcedure(0x3000, 0x10, "u", "", "p", unordered), EDebugInfoError);
  EXPECT_THROW(info.AddProcedure(0xFFFFFFF0, 0x20, "u", "", "p", {}), EDebugInfoError);
}

TEST(DebugInfo, StoredFormRoundTripsAndStaysSmall) {
  const TDebugInfo info = ClockInfo();
  const auto plain = info.Encode();
  const TDebugInfo back = TDebugInfo::Decode(plain);
  EXPECT_EQ(back.Strings(), info.Strings());
  ASSERT_EQ(back.Procedures().size(), 2u);
  for (std::uint32_t offset : {0x1000u, 0x1006u, 0x1012u, 0x1030u, 0x1044u})
    EXPECT_EQ(back.Lookup(offset).Line, info.Lookup(offset).Line) << offset;
  // Strings are shared: "app/Unit1.cpp" once, however many procedures name it.
  const std::string text(plain.begin(), plain.end());
  EXPECT_EQ(text.find("app/Unit1.cpp"), text.rfind("app/Unit1.cpp"));
  EXPECT_LT(plain.size(), 100u);
}

TEST(DebugInfo, EncipheredNamesAreTheCellsTheLogDeciphers) {
  const TDebugInfo info = ClockInfo();
  const TDebugInfo secret = TDebugInfo::Decode(EncipherDebugInfoNames(info, "key").Encode());
  ASSERT_TRUE(secret.NamesEnciphered());
  const TDebugLocation hidden = secret.Lookup(0x1000);
  EXPECT_TRUE(hidden.Unit.starts_with("?c")) << hidden.Unit;
  EXPECT_TRUE(hidden.ClassName.starts_with("?")) << hidden.ClassName;
  EXPECT_EQ(hidden.Procedure.find("Timer1Timer"), std::string_view::npos);
  EXPECT_EQ(secret.Lookup(0x1006).Line, info.Lookup(0x1006).Line);

  // The cells are what the log's XML copy deciphers.
  const TCallStackNames row = DecipherCallStackNames(
      {std::string(hidden.Unit), std::string(hidden.ClassName), std::string(hidden.Procedure)},
      CipherKeyFromPassword("key"));
  EXPECT_EQ(row.Unit, "app/Unit1.cpp");
  EXPECT_EQ(row.Procedure, "Timer1Timer");
  EXPECT_EQ(DecipherDebugInfoNames(secret, "key").Strings(), info.Strings());
}

TEST(DebugInfo, HostileStoredFormsAreRefused) {
  const auto good = ClockInfo().Encode();
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_THROW(TDebugInfo::Decode(std::span(good).first(size)), EDebugInfoError) << size;
  auto trailing = good;
  trailing.push_back(0);
  EXPECT_THROW(TDebugInfo::Decode(trailing), EDebugInfoError);

  using Bytes = std::vector<std::uint8_t>;
  // format, flags, strings, procedures ...
  EXPECT_THROW(TDebugInfo::Decode(Bytes{2, 0, 0, 0}), EDebugInfoError);     // format
  EXPECT_THROW(TDebugInfo::Decode(Bytes{1, 0x80, 0, 0}), EDebugInfoError);  // flags
  // A string count far beyond the data.
  EXPECT_THROW(TDebugInfo::Decode(Bytes{1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}), EDebugInfoError);
  // One string "a", one procedure whose unit index is 1 (out of range).
  EXPECT_THROW(TDebugInfo::Decode(Bytes{1, 0, 1, 1, 'a', 1, 0, 4, 1, 0, 0, 0}), EDebugInfoError);
  // A row beyond its procedure's end.
  EXPECT_THROW(TDebugInfo::Decode(Bytes{1, 0, 1, 1, 'a', 1, 0, 4, 0, 0, 0, 1, 4, 2}),
               EDebugInfoError);
  // Two rows at the same address.
  EXPECT_THROW(TDebugInfo::Decode(Bytes{1, 0, 1, 1, 'a', 1, 0, 4, 0, 0, 0, 2, 1, 2, 0, 2}),
               EDebugInfoError);
  // A procedure reaching past 4 GB, and an overlong number.
  EXPECT_THROW(
      TDebugInfo::Decode(Bytes{1, 0, 1, 1, 'a', 1, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 2, 0, 0, 0, 0}),
      EDebugInfoError);
  EXPECT_THROW(TDebugInfo::Decode(
                   Bytes{1, 0, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}),
               EDebugInfoError);
  // The sound minimum: no strings, no procedures.
  EXPECT_TRUE(TDebugInfo::Decode(Bytes{1, 0, 0, 0}).Procedures().empty());
}

TEST(ModuleConfigList, LookupNamesTheModuleAndItsSymbol) {
  TModuleConfigList list;
  auto record = std::make_unique<TModuleConfigRecord>();
  record->Base = 0x400000;
  record->ImageSize = 0x10000;
  record->FileName = "C:\\Dialmoor\\Dialmoor.exe";
  record->DebugInfo = ClockInfo();
  record->Directory = {{csHandleException, 0x1040, 0x10}, {csShowException, 0x20000, 4}};
  TModuleConfigRecord& added = list.Add(std::move(record));
  EXPECT_EQ(added.SymbolAddress(csHandleException), 0x401040u);
  EXPECT_EQ(added.SymbolAddress(csShowException), 0u) << "outside the image";
  EXPECT_EQ(added.SymbolAddress(7), 0u);

  const TAddressInfo inside = list.Lookup(0x401013);
  EXPECT_EQ(inside.Module, "C:\\Dialmoor\\Dialmoor.exe");
  EXPECT_EQ(inside.ClassName, "TForm1");
  EXPECT_EQ(inside.Procedure, "Timer1Timer");
  EXPECT_EQ(inside.Line, 39u);
  EXPECT_EQ(inside.LineAddress, 0x401010u);
  EXPECT_EQ(inside.Offset(), 3u);

  const TAddressInfo undescribed = list.Lookup(0x408000);
  EXPECT_EQ(undescribed.Module, "C:\\Dialmoor\\Dialmoor.exe");
  EXPECT_FALSE(undescribed.HasSymbol());
  EXPECT_EQ(undescribed.Offset(), 0u);

  EXPECT_TRUE(list.Lookup(0x410000).Module.empty());  // first byte after the image
  EXPECT_TRUE(list.Lookup(0x3FFFFF).Module.empty());

  // A second record for the same base replaces the first.
  auto replacement = std::make_unique<TModuleConfigRecord>();
  replacement->Base = 0x400000;
  replacement->ImageSize = 0x10000;
  replacement->FileName = "again.exe";
  list.Add(std::move(replacement));
  EXPECT_EQ(list.Lookup(0x401013).Module, "again.exe");
  EXPECT_FALSE(list.Lookup(0x401013).HasSymbol());
  EXPECT_EQ(added.FileName, "C:\\Dialmoor\\Dialmoor.exe") << "the old record stays valid";
  EXPECT_EQ(list.FindByBase(0x400000)->FileName, "again.exe");
}

}  // namespace
