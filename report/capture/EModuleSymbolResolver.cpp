#include "report/capture/EModuleSymbolResolver.h"

#include <algorithm>

namespace {

void SortByOffset(std::vector<TNamedOffset>& names) {
  std::sort(names.begin(), names.end(),
            [](const TNamedOffset& a, const TNamedOffset& b) { return a.Offset < b.Offset; });
}

// The last name whose offset is at or before offset; nullptr when none is.
const TNamedOffset* NameBefore(const std::vector<TNamedOffset>& names, std::uint32_t offset) {
  auto after =
      std::upper_bound(names.begin(), names.end(), offset,
                       [](std::uint32_t o, const TNamedOffset& n) { return o < n.Offset; });
  return after == names.begin() ? nullptr : &*(after - 1);
}

}  // namespace

void TModuleSymbolResolver::AddModule(TModuleSymbols module) {
  SortByOffset(module.Exports);
  auto at =
      std::upper_bound(modules_.begin(), modules_.end(), module.Base,
                       [](std::uint32_t base, const TModuleSymbols& m) { return base < m.Base; });
  modules_.insert(at, std::move(module));
}

TResolvedAddress TModuleSymbolResolver::Resolve(std::uint32_t address) const {
  TResolvedAddress result;
  auto after =
      std::upper_bound(modules_.begin(), modules_.end(), address,
                       [](std::uint32_t a, const TModuleSymbols& m) { return a < m.Base; });
  if (after == modules_.begin()) return result;
  const TModuleSymbols& module = *(after - 1);
  const std::uint32_t offset = address - module.Base;
  if (offset >= module.Size) return result;

  result.Kind = mkNoSymbols;
  result.ModuleHandle = module.Base;
  result.ModulePath = module.Path;
  if (module.DebugInfo) {
    const TDebugLocation where = module.DebugInfo->Lookup(offset);
    if (where.Found) {
      result.Kind = where.Unit.empty() ? mkRuntimeCode : mkOwnCode;
      result.UnitName = where.Unit;
      result.ClassName = where.ClassName;
      result.ProcedureName = where.Procedure;
      result.Line = where.Line;
      if (where.Line != 0) result.LineOffset = offset - where.LineOffset;
      return result;
    }
  }
  if (!module.DebugInfo) {
    if (const TNamedOffset* name = NameBefore(module.Exports, offset)) {
      result.Kind = mkSystemExport;
      result.ProcedureName = name->Name;
    }
  }
  return result;
}
