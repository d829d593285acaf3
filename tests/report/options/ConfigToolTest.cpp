// The build tool's reading of the binutils' output: demangled names split into class and
// procedure, nm and objdump listings, and the tables built from them.
#include <gtest/gtest.h>

#include "tools/ReportConfigSymbols.h"

namespace {

void ExpectSplit(std::string_view demangled, std::string_view className,
                 std::string_view procedure) {
  const TQualifiedName name = SplitQualifiedName(demangled);
  EXPECT_EQ(name.ClassName, className) << demangled;
  EXPECT_EQ(name.Procedure, procedure) << demangled;
}

TEST(ReportConfigTool, SplitsDemangledNames) {
  ExpectSplit("TStandInClock::Tick(int)", "TStandInClock", "Tick");
  ExpectSplit("main", "", "main");
  ExpectSplit("WinMain@16", "", "WinMain@16");
  ExpectSplit("Format(char const*, ...)", "", "Format");
  ExpectSplit("dm::TClock::Tick(int) const", "dm::TClock", "Tick");
  ExpectSplit("TForm1::Timer1Timer(TObject*) [clone .cold]", "TForm1", "Timer1Timer");
  ExpectSplit("TStandInClock::Advance(int) [clone .constprop.0]", "TStandInClock", "Advance");
  ExpectSplit("(anonymous namespace)::Lines(std::basic_string_view<char, std::char_traits<char> >)",
              "(anonymous namespace)", "Lines");
  ExpectSplit("std::vector<int, std::allocator<int> >::push_back(int const&)",
              "std::vector<int, std::allocator<int> >", "push_back");
  ExpectSplit("void std::__sort<int*, __gnu_cxx::__ops::_Iter_less_iter>(int*, int*)", "std",
              "__sort<int*, __gnu_cxx::__ops::_Iter_less_iter>");
  ExpectSplit("TList::operator[](int)", "TList", "operator[]");
  ExpectSplit("TFunctor::operator()(int) const", "TFunctor", "operator()");
  ExpectSplit("operator<<(std::ostream&, TPoint const&)", "", "operator<<");
  ExpectSplit("TFlag::operator bool() const", "TFlag", "operator bool");
  ExpectSplit("TSet::operator<(TSet const&) const", "TSet", "operator<");
  ExpectSplit("TApp::Run()::{lambda(int)#1}::operator()(int) const", "TApp::Run()::{lambda(int)#1}",
              "operator()");
  ExpectSplit("transaction clone for std::domain_error::~domain_error()", "std::domain_error",
              "~domain_error");
  ExpectSplit("TTable<(char)1>::Get(int)", "TTable<(char)1>", "Get");
  ExpectSplit("TApplication::Dispatch<(anonymous namespace)::RunCase(std::__cxx11::basic_string<"
              "char, std::char_traits<char>, std::allocator<char> > const&)::{lambda()#1}>("
              "TObject*, (anonymous namespace)::RunCase(std::__cxx11::basic_string<char, "
              "std::char_traits<char>, std::allocator<char> > const&)::{lambda()#1}&&)::"
              "{lambda(void*)#1}::_FUN(void*)",
              "TApplication::Dispatch<...>(...)::{lambda(...)#1}", "_FUN");
}

TEST(ReportConfigTool, ReadsNmListings) {
  const auto symbols = ParseNmOutput(
      "004015b0 t TStandInClock::Tick(int)\n"
      "00000000 A TStandInClock::Advance(int)\n"
      "00401630 T TStandInClock::Run(int)\n"
      "0041b450 t .text$_ZGTtNSt12domain_errorC1EPKc\n"
      "0042dc08 R typeinfo for std::domain_error\n"
      "0043f2c4 I _imp____getmainargs\n"
      "00428070 W inline_helper()\r\n"
      "garbage line\n"
      "zzzzzzzz T bad\n");
  ASSERT_EQ(symbols.size(), 3u);
  EXPECT_EQ(symbols[0].Address, 0x4015b0u);
  EXPECT_EQ(symbols[0].Name, "TStandInClock::Tick(int)");
  EXPECT_EQ(symbols[1].Name, "TStandInClock::Run(int)");
  EXPECT_EQ(symbols[2].Name, "inline_helper()");
}

// objdump --wide --dwarf=decodedline, as it prints a program built with and without LTO.
constexpr std::string_view kLines =
    "\n"
    "prog.exe:     file format pei-i386\n"
    "\n"
    "Contents of the .debug_line section:\n"
    "\n"
    "CU: /src/build/<artificial>:\n"
    "File name                            Line number    Starting address    View    Stmt\n"
    "Clock.cpp                                     10            0x401000               x\n"
    "Clock.cpp                                     11            0x401000       1       x\n"
    "\n"
    "/usr/include/c++/bits/stl_vector.h:\n"
    "stl_vector.h                                 564            0x401004               x\n"
    "\n"
    "/src/app/Clock.cpp:\n"
    "Clock.cpp                                     10            0x401000       2\n"
    "Clock.cpp                                     12            0x401008               x\n"
    "Clock.cpp                                     12            0x40100c\n"
    "\n"
    "/src/app/Helpers.h:\n"
    "Helpers.h                                      3            0x40100e               x\n"
    "\n"
    "/src/app/Clock.cpp:\n"
    "Clock.cpp                                     14            0x401010               x\n"
    "Clock.cpp                                     20            0x401020               x\n"
    "Clock.cpp                                     21            0x401024               x\n"
    "Clock.cpp                                      -            0x40102a\n"
    "\n"
    "/usr/src/mingw/crtexe.c:\n"
    "crtexe.c                                     118            0x401030               x\n"
    "crtexe.c                                       -            0x401040\n";

TEST(ReportConfigTool, ReadsDecodedLineTables) {
  const auto rows = ParseDecodedLines(kLines);
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0].File, "/src/app/Clock.cpp") << "path found from a later header";
  EXPECT_EQ(rows[0].Line, 10u);
  EXPECT_EQ(rows[0].Address, 0x401000u);
  EXPECT_EQ(rows[2].File, "/usr/include/c++/bits/stl_vector.h");
  EXPECT_EQ(rows[6].File, "/src/app/Helpers.h");
  EXPECT_EQ(rows[10].Line, 0u) << "end of sequence";
  EXPECT_EQ(rows[10].Address, 0x40102au);
}

TEST(ReportConfigTool, BuildsTablesOfTheOwnCodeAndNamesTheRuntimeCode) {
  const std::vector<TToolSymbol> symbols = {
      {0x401000, "TClock::Tick(int)"},
      {0x401000, "TClock::Tick(int) [clone .alias]"},  // an alias at the same address
      {0x401020, "TClock::Run()"},
      {0x401030, "__tmainCRTStartup"},
  };
  const TDebugInfo info = BuildDebugInfo(symbols, ParseDecodedLines(kLines), 0x400000, "/src/");
  ASSERT_EQ(info.Procedures().size(), 3u);

  const TDebugLocation tick = info.Lookup(0x1000);
  EXPECT_EQ(tick.Unit, "app/Clock.cpp");
  EXPECT_EQ(tick.ClassName, "TClock");
  EXPECT_EQ(tick.Procedure, "Tick");
  EXPECT_EQ(tick.Line, 10u) << "the last row at an address is the one in force";
  // Inlined library code and an inlined helper of another file fall on the program's line.
  EXPECT_EQ(info.Lookup(0x1005).Line, 10u);
  EXPECT_EQ(info.Lookup(0x100e).Line, 12u);
  EXPECT_EQ(info.Lookup(0x100e).LineOffset, 0x1008u) << "repeated rows keep the line's start";
  EXPECT_EQ(info.Lookup(0x101f).Line, 14u);
  EXPECT_EQ(info.Procedures()[0].Size, 0x20u) << "ends where the next symbol starts";

  const TDebugLocation run = info.Lookup(0x1029);
  EXPECT_EQ(run.Procedure, "Run");
  EXPECT_EQ(run.Line, 21u);
  EXPECT_EQ(info.Procedures()[1].Size, 0xAu) << "ends with its line sequence";
  EXPECT_FALSE(info.Lookup(0x102a).Found);

  // The runtime's start-up code: its name, without unit or lines, up to its sequence's end.
  const TDebugLocation startup = info.Lookup(0x1038);
  EXPECT_TRUE(startup.Found);
  EXPECT_EQ(startup.Unit, "");
  EXPECT_EQ(startup.Procedure, "__tmainCRTStartup");
  EXPECT_EQ(startup.Line, 0u);
  EXPECT_FALSE(info.Lookup(0x1040).Found);

  // Another source root: nothing of the program's own, everything named as runtime code.
  const TDebugInfo elsewhere =
      BuildDebugInfo(symbols, ParseDecodedLines(kLines), 0x400000, "/elsewhere");
  EXPECT_EQ(elsewhere.Procedures().size(), 3u);
  EXPECT_EQ(elsewhere.Lookup(0x1000).Unit, "");
  EXPECT_EQ(elsewhere.Lookup(0x1000).Line, 0u);
}

}  // namespace
