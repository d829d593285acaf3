// Turns what the MinGW binutils say about a linked executable (nm's demangled symbols and
// objdump's decoded DWARF line table) into the debug information the program embeds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/options/EDebugInfo.h"

struct TToolSymbol {
  std::uint32_t Address = 0;
  std::string Name;  // demangled
};

struct TToolLineRow {
  std::uint32_t Address = 0;
  std::uint32_t Line = 0;  // 0 marks the end of a sequence
  std::string File;        // full path as the line table names it
};

// Text symbols ("T", "t", "W", "w") of `nm -C --defined-only`, without section symbols.
std::vector<TToolSymbol> ParseNmOutput(std::string_view text);
// The rows of `objdump --dwarf=decodedline`, in the order listed.
std::vector<TToolLineRow> ParseDecodedLines(std::string_view text);

struct TQualifiedName {
  std::string ClassName;  // the scope: class, or namespace for free functions; may be empty
  std::string Procedure;
};
// "ns::TClock::Tick(int) const" gives {"ns::TClock", "Tick"}; template arguments, operator
// names, lambdas and a leading return type (of template functions) are taken into account. A
// scope longer than a report column can usefully be (a lambda inside a function template, say)
// keeps its names and loses the contents of its argument lists: "T::Run<...>(...)::{lambda#1}".
TQualifiedName SplitQualifiedName(std::string_view demangled);

// The tables for the procedures whose entry lies in a source file under sourceRoot; units are
// named by their path relative to it, and only rows of a procedure's own file are kept (so an
// address in inlined library code falls on the line of the program that called it). Every
// other procedure of the image (the statically linked runtime code) is named without a unit or
// lines.
TDebugInfo BuildDebugInfo(const std::vector<TToolSymbol>& symbols,
                          const std::vector<TToolLineRow>& rows, std::uint32_t imageBase,
                          std::string_view sourceRoot);
