// The resolver over a table of loaded modules, each with what names its code: the debug
// information of a module built with the subsystem, which names its own code with unit and
// lines (kind 4) and the runtime code linked into it by name only (kind 3), and the exports of
// a system library (kind 2). The Win32 capture fills one module record per loaded module; the
// host tests fill them by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/capture/EStackEntry.h"
#include "report/options/EDebugInfo.h"

struct TNamedOffset {
  std::uint32_t Offset;  // from the module base
  std::string Name;
};

struct TModuleSymbols {
  std::uint32_t Base = 0;
  std::uint32_t Size = 0;
  std::string Path;
  // Not owned; must outlive the resolver. Procedures found here with a unit are kind 4, those
  // without (runtime code) kind 3.
  const TDebugInfo* DebugInfo = nullptr;
  // Exported entry points (kind 2), any order. Used only when the module has no DebugInfo.
  std::vector<TNamedOffset> Exports;
};

class TModuleSymbolResolver : public TAddressResolver {
 public:
  // Modules must not overlap; the lists are sorted here.
  void AddModule(TModuleSymbols module);
  TResolvedAddress Resolve(std::uint32_t address) const override;
  const std::vector<TModuleSymbols>& Modules() const { return modules_; }

 private:
  std::vector<TModuleSymbols> modules_;  // sorted by base
};
