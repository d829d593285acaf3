#include "report/options/EOptionsEnvironmentWin32.h"

#include <atomic>
#include <string>

std::string ModuleFileNameOf(HMODULE module) {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : MAX_PATH);
}

HMODULE TWin32OptionsEnvironment::ModuleOf(std::string_view moduleName) const {
  if (moduleName.empty()) return nullptr;
  return GetModuleHandleA(std::string(moduleName).c_str());
}

bool TWin32OptionsEnvironment::IsOwnModule(std::string_view moduleName) const {
  if (moduleName.empty()) return false;
  return ModuleOf(moduleName) == ownModule_ ||
         lstrcmpiA(std::string(moduleName).c_str(), ModuleFileName().c_str()) == 0;
}

void TWin32OptionsEnvironment::PublishModuleOptions(std::string_view moduleName,
                                                    std::span<const std::uint8_t> block) {
  const HMODULE module = ModuleOf(moduleName);
  if (!module) return;
  std::lock_guard guard(lock_);
  auto& area = areas_[module];
  area.reset();
  area = TSharedArea::Create(SharedAreaName("MODULE", module, GetCurrentProcessId()), block);
}

bool TWin32OptionsEnvironment::Published(HMODULE module) const {
  std::lock_guard guard(lock_);
  const auto area = areas_.find(module);
  return area != areas_.end() && area->second.has_value();
}

std::string TWin32OptionsEnvironment::ComputerName() const {
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = sizeof name;
  if (!GetComputerNameA(name, &length)) return {};
  return std::string(name, length);
}

std::string TWin32OptionsEnvironment::ModuleFileName() const {
  return ModuleFileNameOf(ownModule_);
}

namespace {

std::atomic<void (*)()> startFreezeWatch{nullptr};
std::atomic<void (*)()> stopFreezeWatch{nullptr};

}  // namespace

void SetFreezeWatchCalls(void (*start)(), void (*stop)()) {
  startFreezeWatch.store(start);
  stopFreezeWatch.store(stop);
}

void TWin32OptionsEnvironment::StartFreezeWatch() {
  if (auto* start = startFreezeWatch.load()) start();
}

void TWin32OptionsEnvironment::StopFreezeWatch() {
  if (auto* stop = stopFreezeWatch.load()) stop();
}
