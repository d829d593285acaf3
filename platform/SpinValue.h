// The value rules of a spin edit, apart from its window.
#pragma once

#include <string_view>

// A range whose minimum and maximum are equal (0..0 by default) does not limit; otherwise the
// value is brought into [min, max]. A range given upside down is read with its ends swapped.
int ClampSpinValue(int value, int minValue, int maxValue);

// The integer a spin edit's text stands for: optional blanks, an optional sign, decimal
// digits (or "$" and hexadecimal digits), optional blanks. Anything else, including a number
// outside the int range, reads as 0.
int SpinTextToInt(std::string_view text);
