// The machine's DNS servers from IPHLPAPI, loaded at run time.
#include "platform/win/WinApi.h"
#include <iphlpapi.h>

#include <vector>

#include "delivery/mail/EMxLookup.h"
#include "platform/win/ProcAddress.h"

namespace {

struct TLibrary {
  HMODULE handle;
  explicit TLibrary(const char* name) : handle(LoadLibraryA(name)) {}
  ~TLibrary() {
    if (handle) FreeLibrary(handle);
  }
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;
};

using GetNetworkParamsProc = DWORD(WINAPI*)(PFIXED_INFO, PULONG);

std::vector<std::string> ConfiguredServers() {
  std::vector<std::string> servers;
  TLibrary library("IPHLPAPI.DLL");
  if (!library.handle) return servers;
  const auto getNetworkParams =
      ProcAddress<GetNetworkParamsProc>(library.handle, "GetNetworkParams");
  if (!getNetworkParams) return servers;
  ULONG size = 0;
  std::vector<unsigned char> buffer;
  DWORD status = getNetworkParams(nullptr, &size);
  if (status == ERROR_BUFFER_OVERFLOW) {
    buffer.resize(size);
    status = getNetworkParams(reinterpret_cast<PFIXED_INFO>(buffer.data()), &size);
  }
  if (status != ERROR_SUCCESS || buffer.size() < sizeof(FIXED_INFO)) return servers;
  const auto* info = reinterpret_cast<const FIXED_INFO*>(buffer.data());
  for (const IP_ADDR_STRING* entry = &info->DnsServerList; entry; entry = entry->Next)
    servers.emplace_back(entry->IpAddress.String,
                         strnlen(entry->IpAddress.String, sizeof entry->IpAddress.String));
  return servers;
}

}  // namespace

std::vector<std::string> GetDnsServerList() { return DnsServersWithFallback(ConfiguredServers()); }
