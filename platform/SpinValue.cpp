#include "platform/SpinValue.h"

#include <cstdint>
#include <utility>

int ClampSpinValue(int value, int minValue, int maxValue) {
  if (minValue == maxValue) return value;
  if (minValue > maxValue) std::swap(minValue, maxValue);
  if (value < minValue) return minValue;
  if (value > maxValue) return maxValue;
  return value;
}

int SpinTextToInt(std::string_view text) {
  size_t i = 0, end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < end && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i == end) return 0;
  std::int64_t value = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return 0;
    value = value * base + digit;
    if (value > std::int64_t{INT32_MAX} + 1) return 0;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<int>(value);
}
