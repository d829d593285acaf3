// Finding a domain's mail exchanger by asking the machine's DNS servers over UDP.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "delivery/mail/ESocketTransport.h"

// The machine's DNS servers (from the network configuration), then one fixed public server.
std::vector<std::string> GetDnsServerList();

// The addresses that count as servers: trimmed, not empty and not "0.0.0.0", with the
// fallback server appended last.
std::vector<std::string> DnsServersWithFallback(const std::vector<std::string>& configured);
inline constexpr const char* FallbackDnsServer = "9.9.9.9";

struct TDnsServices {
  std::function<std::unique_ptr<ISocketTransport>()> NewSocket;
  IWaitClock* Clock = nullptr;
  std::function<std::vector<std::string>()> Servers;
};

// The exchanger host of the domain after the first "@" of `address` (the whole address without
// one): each server in turn, three attempts each, waiting (timeout + 150) / 3 ms plus 100 ms
// per earlier attempt. Raises EOskedaSocketError "Cannot resolve the "<domain>" MX record."
// when no server gives a usable answer.
std::string ResolveMXHost(const std::string& address, std::uint32_t timeoutMs,
                          const TDnsServices& services);
