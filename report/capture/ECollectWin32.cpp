#include "report/capture/ECollectWin32.h"

#include "report/capture/ECollectModulesWin32.h"
#include "report/capture/ECollectStacksWin32.h"
#include "report/capture/ECollectSystemWin32.h"
#include "report/capture/MemoryReaderWin32.h"
#include "report/options/ECoreOptions.h"

namespace {

void CompleteException(TExceptionSnapshot& exception) {
  if (exception.Date == 0) exception.Date = LocalNowWin32();
  if (exception.ModulePath.empty() && exception.Address != 0) {
    if (void* module = ModuleOfAddressWin32(
            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(exception.Address))))
      exception.ModulePath = ModuleFileNameWin32(module);
  }
  if (exception.ModuleLongPath.empty() && !exception.ModulePath.empty())
    exception.ModuleLongPath = LongPathNameWin32(exception.ModulePath);
}

}  // namespace

TReportSnapshot CollectReportSnapshotWin32(const TCaptureRequest& request) {
  TReportSnapshot snapshot;
  const TSourceFailure& failed = request.OnSourceFailure;
  GuardedSource(ExceptionValuesProgress, failed, [&] {
    snapshot.Exception = request.Exception;
    CompleteException(snapshot.Exception);
  });
  GuardedSource(FieldProgress(rfApplicationStartDate), failed,
                [&] { snapshot.Application = CollectApplicationWin32(request); });
  GuardedSource(FieldProgress(rfActiveControlsFormClass), failed,
                [&] { snapshot.ActiveControls = CollectActiveControlsWin32(request); });
  GuardedSource(FieldProgress(rfComputerName), failed, [&] {
    // The module that carries the reporting code, whose drive the disk fields describe.
    const std::string reporter = ModuleFileNameWin32(
        ModuleOfAddressWin32(reinterpret_cast<const void*>(&CompleteException)));
    snapshot.System = CollectSystemWin32(reporter, failed);
  });
  GuardedSource(pcLocalOffset, failed,
                [&] { snapshot.LocalOffsetMinutes = LocalOffsetMinutesWin32(); });

  const TProcessMemoryReader memory;
  std::vector<TLoadedModule> modules;
  GuardedSource(pcModuleList, failed, [&] { modules = EnumerateModulesWin32(memory); });
  if (request.Options && request.Options->LogFlags().Contains(lfModulesSection)) {
    snapshot.Modules.reserve(modules.size());
    for (const TLoadedModule& module : modules)
      snapshot.Modules.push_back(DescribeModuleWin32(module, failed));
  }
  GuardedSource(pcExceptionStack, failed, [&] {
    const TProcessSymbolResolverWin32 resolver(modules, memory);
    CollectStacksWin32(request, memory, resolver, snapshot);
  });
  return snapshot;
}
