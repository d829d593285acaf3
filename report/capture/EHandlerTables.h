// Reading a frame's exception handler table (the language-specific data the C++ personality
// routine reads while the unwinder searches for a handler), to tell at the throw whether the
// frame will catch the exception, let it pass or end the program. The tables are read through a
// memory reader, so a damaged table gives an answer, never a fault.
//
// Why the tables and not the unwinder's own search: the search phase cannot be run on its own
// (_Unwind_RaiseException goes straight on to unwind when it finds a handler), and the
// personality routine needs the exception header that __cxa_throw fills only after the throw
// record was taken. The walk over the frames is the unwinder's (_Unwind_Backtrace), so the
// frames seen are exactly those the throw will search; only the reading of each frame's table
// is done here, the way the personality routine does it.
#pragma once

#include <cstdint>
#include <functional>

#include "report/capture/EMemoryReader.h"

// What one frame does with an exception passing through it.
enum class TFrameOutcome : std::uint8_t {
  PassesThrough,  // no table, no entry for the call, or only clean-ups
  Caught,         // a catch clause takes it
  Terminates,     // the call lies outside the table or breaks a dynamic throw list
                  // (noexcept): the program ends once the stack is unwound to here
  Unreadable,     // the table cannot be read or makes no sense
};

// A frame as the unwinder gives it.
struct TFrameTables {
  std::uint32_t Lsda = 0;         // the frame's table; 0 when it has none
  std::uint32_t RegionStart = 0;  // the start of the procedure
  std::uint32_t Ip = 0;           // the address inside the call the frame is at (return - 1)
  std::uint32_t TextBase = 0;     // the bases of text- and data-relative encodings
  std::uint32_t DataBase = 0;
};

// Answers whether a catch clause for the type whose type information lies at the given
// address (0: catch (...)) takes the exception being thrown.
using TCatchMatcher = std::function<bool(std::uint32_t typeInfo)>;

TFrameOutcome InspectFrameTables(const TMemoryReader& memory, const TFrameTables& frame,
                                 const TCatchMatcher& catches);
