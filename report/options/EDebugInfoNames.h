// Debug tables whose names are enciphered with a password. Each name is stored as the cell a
// call-stack row shows for it (delivery/log/ECallStackNames.h), so a report made without the
// password shows no names but still carries them, and the log's XML copy deciphers them with
// the password. A program that is given the password deciphers its tables when it loads them.
#pragma once

#include <cstdint>
#include <string_view>

#include "report/options/EDebugInfo.h"

// The tables with every unit, class and procedure name replaced by its enciphered cell.
TDebugInfo EncipherDebugInfoNames(const TDebugInfo& info, std::string_view password);
// The tables with the names deciphered; a procedure whose cells do not decipher to names
// keeps them. Tables whose names are not enciphered come back as they are.
TDebugInfo DecipherDebugInfoNames(const TDebugInfo& info, std::string_view password);

// The container's check word: tells plain tables from enciphered ones, and whether a
// password is the one they were enciphered with (an empty password gives the plain word).
std::uint32_t DebugInfoCheckWord(std::string_view password);
