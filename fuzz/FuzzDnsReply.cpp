// Hostile DNS replies: the reader either finds an exchange name inside the reply or none, and
// never reads outside it (the sanitizers watch every byte).
#include <cstdint>
#include <string>
#include <string_view>

#include "delivery/mail/EDnsPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so any read past the end is caught.
  const std::string reply(reinterpret_cast<const char*>(data), size);
  std::string host;
  if (ParseMXReply(reply, host) && (host.empty() || host.size() > 255)) __builtin_trap();
  for (std::size_t start = 0; start < reply.size() && start < 64; ++start) {
    std::size_t pos = start;
    std::string name;
    if (ReadDnsName(reply, pos, name)) {
      if (pos <= start || pos > reply.size()) __builtin_trap();
    } else if (pos != start || !name.empty()) {
      __builtin_trap();
    }
  }
  return 0;
}
