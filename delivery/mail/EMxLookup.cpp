#include "delivery/mail/EMxLookup.h"

#include "delivery/mail/EDnsPacket.h"
#include "delivery/mail/EMailText.h"
#include "delivery/mail/ESockets.h"

std::vector<std::string> DnsServersWithFallback(const std::vector<std::string>& configured) {
  std::vector<std::string> servers;
  for (const std::string& entry : configured) {
    std::string address = TrimText(entry);
    if (!address.empty() && address != "0.0.0.0") servers.push_back(std::move(address));
  }
  servers.emplace_back(FallbackDnsServer);
  return servers;
}

std::string ResolveMXHost(const std::string& address, std::uint32_t timeoutMs,
                          const TDnsServices& services) {
  std::string host;
  const std::uint32_t baseWait = (timeoutMs + 150) / 3;
  const std::size_t at = address.find('@');
  const std::string domain = at == std::string::npos ? address : address.substr(at + 1);
  for (const std::string& server : services.Servers()) {
    for (std::uint32_t attempt = 0; attempt < 3 && host.empty(); ++attempt) {
      // An unreachable server or a refused query is only a failed attempt.
      try {
        TOskedaClientSocket socket(services.NewSocket(), *services.Clock, server, 53, false,
                                   attempt * 100 + baseWait);
        socket.Connect();
        const std::string query = BuildMXQuery(domain);
        if (socket.SendString(query) == static_cast<int>(query.size())) {
          const std::string reply = socket.ReceiveWait();
          if (!reply.empty()) ParseMXReply(reply, host);
        }
      } catch (const EOskedaSocketError&) {
      }
    }
    if (!host.empty()) return host;
  }
  throw EOskedaSocketError(Format("Cannot resolve the \"%s\" MX record.", domain.c_str()));
}
