// Integer and colour texts the way the runtime reads and writes them (settings files, edits).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Decimal with an optional sign ("-12", "+7"); "$" followed by hexadecimal digits ("$FF");
// a text longer than two characters beginning with "0x" or "0X" ("0x0000FF"). Hexadecimal
// texts may use all 32 bits, so "$FFFFFFFF" is -1 and "$8000000F" a system colour.
// Nothing else is an integer: no spaces, no sign before "$" or "0x", no empty text, and no
// value outside 32 bits (a decimal beyond -2147483648..2147483647, more than eight
// significant hexadecimal digits).
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);
// EConvertError "'%s' is not a valid integer value" for a text that is not an integer.
std::int32_t StrToInt(std::string_view text);
// Decimal, "-" for negative values.
std::string IntToStr(std::int32_t value);

// Colours are 32-bit values: an RGB colour with red in the low byte (00BBGGRR), or, with the
// highest bit set, a system colour whose index is the low byte (0x8000000F and 0xFF00000F
// both name the button face colour).
bool IsSystemColor(std::int32_t color);
int SystemColorIndex(std::int32_t color);
// The plain RGB value: a system colour through the lookup (index -> 00BBGGRR), any other
// value with its top byte cleared.
using SystemColorLookup = std::function<std::uint32_t(int index)>;
std::int32_t ColorToRGBValue(std::int32_t color, const SystemColorLookup& lookup);
