#include "report/options/EOptionsEnvironment.h"

#include <atomic>

namespace {

// Before the Windows side is wired every owner counts as this module, so setters behave as
// they will in the program; publishing and the freeze watcher have nowhere to go yet.
class BuiltInEnvironment final : public TOskedaOptionsEnvironment {
 public:
  bool IsOwnModule(std::string_view) const override { return true; }
  void PublishModuleOptions(std::string_view, std::span<const std::uint8_t>) override {}
  void StartFreezeWatch() override {}
  void StopFreezeWatch() override {}
  std::string ComputerName() const override { return {}; }
  std::string ModuleFileName() const override { return {}; }
};

BuiltInEnvironment builtIn;
std::atomic<TOskedaOptionsEnvironment*> installed{nullptr};

}  // namespace

TOskedaOptionsEnvironment& OskedaOptionsEnvironment() {
  TOskedaOptionsEnvironment* environment = installed.load();
  return environment ? *environment : builtIn;
}

TOskedaOptionsEnvironment* SetOskedaOptionsEnvironment(TOskedaOptionsEnvironment* environment) {
  return installed.exchange(environment);
}
