// Any delivery address parses or is refused; what parses holds no part with a separator it
// should have been cut at, and the port is the one written.
#include <cstdint>
#include <string>

#include "delivery/web/EUploadURL.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  TUploadTarget target;
  if (!ParseUploadURL(url, target)) return 0;
  for (const std::string* part : {&target.Scheme, &target.User, &target.Password, &target.Host})
    if (part->find_first_of(":/@") != std::string::npos) __builtin_trap();
  if (target.Port != 0 && url.find(std::to_string(target.Port)) == std::string::npos &&
      url.find(':') == std::string::npos)
    __builtin_trap();
  return 0;
}
