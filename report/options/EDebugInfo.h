// The debug information of one module: the tables that turn an address of the module's own
// code into unit (source file), class, procedure and line, and an address of the runtime code
// linked into it into class and procedure (a procedure without a unit). Addresses are offsets
// from the module base, so the tables hold wherever the loader puts the module.
//
// Stored form (before the container compresses it), integers as unsigned LEB128 varints:
//   byte format (1), byte flags (bit 0: names enciphered, see EDebugInfoNames.h)
//   string count, then each string as length + bytes
//   procedure count, then per procedure, in ascending address order:
//     start (delta from the previous procedure's end), size, unit, class and name (string
//     indexes), row count, then per row: address delta from the previous row (the first from
//     the procedure start) and the line delta from the previous row (zigzag, the first from 0)
// A row marks the address where a line starts; it holds until the next row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/options/EStreams.h"

DM_DECLARE_EXCEPTION(EDebugInfoError, EReadError)

struct TDebugLine {
  std::uint32_t Offset;  // from the module base
  std::uint32_t Line;
};

struct TDebugProcedure {
  std::uint32_t Start;  // from the module base
  std::uint32_t Size;
  std::uint32_t Unit;  // string indexes
  std::uint32_t ClassName;
  std::uint32_t Name;
  std::uint32_t RowsAt;  // where its rows start in the packed rows
  std::uint32_t LineCount;
};

// Where an offset lies: empty names and line 0 when it lies in no procedure described.
struct TDebugLocation {
  bool Found = false;
  std::string_view Unit;
  std::string_view ClassName;
  std::string_view Procedure;
  std::uint32_t Line = 0;        // 0 when the procedure has no row at or before the offset
  std::uint32_t LineOffset = 0;  // where that line starts, from the module base
};

class TDebugInfo {
 public:
  // Building: strings are interned; procedures must be added in ascending, non-overlapping
  // order, each with its rows in ascending offsets inside the procedure (EDebugInfoError
  // otherwise).
  std::uint32_t Intern(std::string_view text);
  void AddProcedure(std::uint32_t start, std::uint32_t size, std::string_view unit,
                    std::string_view className, std::string_view name,
                    std::span<const TDebugLine> rows);

  TDebugLocation Lookup(std::uint32_t offset) const;

  std::vector<std::uint8_t> Encode() const;
  // EDebugInfoError when the data is malformed.
  static TDebugInfo Decode(std::span<const std::uint8_t> data);

  // Whether the names are the enciphered cells of EDebugInfoNames.h rather than names.
  bool NamesEnciphered() const { return namesEnciphered_; }
  void SetNamesEnciphered(bool enciphered) { namesEnciphered_ = enciphered; }

  std::uint32_t StringCount() const { return static_cast<std::uint32_t>(ends_.size()); }
  // Valid while no string is added.
  std::string_view String(std::uint32_t index) const {
    const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
  }
  // A copy of every string, in index order.
  std::vector<std::string> Strings() const;
  const std::vector<TDebugProcedure>& Procedures() const { return procedures_; }
  // Every line row, procedure by procedure (unpacked: a copy).
  std::vector<TDebugLine> Lines() const;
  std::size_t LineCount() const;
  // The bytes of code the tables describe.
  std::uint64_t CodeSize() const;
  // The procedure whose qualified name ("Class::Procedure", or the name alone) is given.
  const TDebugProcedure* FindProcedure(std::string_view qualifiedName) const;

 private:
  void AppendString(std::string_view text);

  // The names one after the other: a program's thousands of names would otherwise each be a
  // string object with a heap block of its own, for as long as the program runs.
  std::string text_;
  std::vector<std::uint32_t> ends_;  // where each string ends in text_
  std::vector<TDebugProcedure> procedures_;
  // The rows of each procedure as they are stored (address and line deltas as varints, the
  // first from the procedure's start and from line 0), about a quarter of their unpacked size;
  // a lookup unpacks the rows of one procedure.
  std::vector<std::uint8_t> rows_;
  std::unordered_map<std::string, std::uint32_t> interned_;
  bool namesEnciphered_ = false;
};
