// The loaded modules of the process: their list for the modules block, and the resolver that
// names their code for the call stacks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/capture/EMemoryReader.h"
#include "report/capture/EModuleSymbolResolver.h"
#include "report/capture/ESourceGuard.h"
#include "report/text/EReportSnapshot.h"

struct TLoadedModule {
  std::uint32_t Base = 0;
  std::uint32_t ImageSize = 0;
  std::string Path;
};

// Through EnumProcessModules of PSAPI.DLL, else the tool-help snapshot, both looked up at run
// time; sorted by base. Empty when neither works; throws what a failing query threw.
std::vector<TLoadedModule> EnumerateModulesWin32(const TMemoryReader& memory);
// Path, file size, last write (local time), description and version.
// A failing query leaves the rest of the row empty and is told to failed.
TModuleSnapshot DescribeModuleWin32(const TLoadedModule& module, const TSourceFailure& failed = {});

// Names code addresses of the loaded modules: a module registered with a reporting
// configuration by its debug information (kind 4), any other by its exports (kind 2). A
// module's names are read on the first address that falls into it, so the many libraries no
// frame touches cost nothing.
class TProcessSymbolResolverWin32 final : public TAddressResolver {
 public:
  TProcessSymbolResolverWin32(std::vector<TLoadedModule> modules, const TMemoryReader& memory);
  TResolvedAddress Resolve(std::uint32_t address) const override;

 private:
  std::vector<TLoadedModule> modules_;
  const TMemoryReader& memory_;
  mutable std::vector<bool> added_;
  mutable TModuleSymbolResolver symbols_;
};
