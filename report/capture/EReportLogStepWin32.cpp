// The sequence's log step on Windows: one log object for the life of the subsystem.
#include "platform/win/WinApi.h"

#include "delivery/log/ELogStep.h"
#include "report/capture/EReportSequenceWin32.h"
#include "report/options/ECoreOptions.h"

namespace {

// The working options name their module by its file name alone; a log "beside the module"
// must not land in whatever folder the program happens to run in.
std::string ModulePath(const std::string& moduleName) {
  const HMODULE module =
      moduleName.empty() ? GetModuleHandleA(nullptr) : GetModuleHandleA(moduleName.c_str());
  char path[MAX_PATH * 2] = {};
  const DWORD length = module ? GetModuleFileNameA(module, path, sizeof path) : 0;
  return length > 0 && length < sizeof path ? std::string(path, length) : moduleName;
}

}  // namespace

void SaveReportToLog(TReportContext& context) {
  static TReportLogKeeper keeper;
  TOskedaModuleOptions options(ModulePath(context.Options->OwnerModuleName()), false);
  options.Assign(context.Options);
  TReportContext withPath = context;
  withPath.Options = &options;
  RunLogStep(withPath, keeper, PlatformDeliveryErrorOutput());
  context.TextToDeliver = withPath.TextToDeliver;
  context.Duplicate = withPath.Duplicate;
}
