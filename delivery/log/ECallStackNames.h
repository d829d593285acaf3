// Enciphered names in call-stack rows. A build may store the unit, class and procedure names
// of its debug tables enciphered; such a row's unit cell begins with "?", followed by a
// language mark ("p" for ".pas" units, anything else ".cpp") and the Base64 of the
// enciphered name; the procedure cell and a non-empty class cell begin with one mark
// character before their Base64.
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
// is not enciphered, or when a deciphered name is not a plain name (letters, digits, "_",
// "." and "@"), which is what a wrong password gives.
TCallStackNames DecipherCallStackNames(const TCallStackNames& cells, const TCipherKey& key);

// The cells a build writes for the names: the inverse of DecipherCallStackNames. The class
// travels inside the procedure cell as "Class.Procedure" when there is one.
TCallStackNames EncipherCallStackNames(const TCallStackNames& names, const TCipherKey& key);
