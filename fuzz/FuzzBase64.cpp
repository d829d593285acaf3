// Base64: any text decodes to the length the rules give, and encoding then decoding gives the
// bytes back.
#include <cstdint>
#include <string>

#include "delivery/mail/EBase64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string decoded = Base64Decode(input.data(), input.size());
  if (size % 4 != 0) {
    if (!decoded.empty()) __builtin_trap();
  } else {
    std::size_t padding = 0;
    while (padding < 2 && padding < size && input[size - 1 - padding] == '=') ++padding;
    if (decoded.size() != size / 4 * 3 - padding) __builtin_trap();
  }
  const std::string encoded = Base64Encode(input);
  if (encoded.size() != (size + 2) / 3 * 4 || Base64Decode(encoded) != input) __builtin_trap();
  return 0;
}
