// Enciphered names in call-stack rows. A build may store the unit, class and procedure names
// of its debug tables enciphered; such a row's unit cell begins with "?", followed by a
// language mark ("p" for ".pas" units, anything else ".cpp") and the Base64 of the
// enciphered name; the procedure cell and a non-empty class cell begin with one mark
// character before their Base64. A procedure that deciphers to "Class.Procedure" carries the
// class of a row whose class cell is empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "delivery/log/EEncrypt.h"

// The bytes of standard Base64 text ("=" padding optional); nothing when it is not Base64.
std::optional<std::string> DecodeBase64Text(std::string_view text);

struct TCallStackNames {
  std::string Unit;
  std::string Class;
  std::string Procedure;
};

// The row's names deciphered with the key. The cells come back unchanged when the unit cell
// is not enciphered, or when a deciphered name holds a character that no name, scope or
// source path of a program holds (anything but printable ASCII, or the cell border "|"),
// which is what a wrong password gives.
TCallStackNames DecipherCallStackNames(const TCallStackNames& cells, const TCipherKey& key);

// The cells a build writes for the names: the inverse of DecipherCallStackNames. Every name
// has a cell of its own (an empty class too), so a procedure whose name holds a "." comes
// back whole.
TCallStackNames EncipherCallStackNames(const TCallStackNames& names, const TCipherKey& key);
