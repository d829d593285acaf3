// The options environment of a Windows module: module identity by handle, the "MODULE" shared
// area of each publishing module, the computer name.
#pragma once

#include "platform/win/WinApi.h"

#include <map>
#include <mutex>

#include "report/options/EOptionsEnvironment.h"
#include "report/options/ESharedAreaWin32.h"

class TWin32OptionsEnvironment final : public TOskedaOptionsEnvironment {
 public:
  explicit TWin32OptionsEnvironment(HMODULE ownModule) : ownModule_(ownModule) {}

  bool IsOwnModule(std::string_view moduleName) const override;
  // Drops the module's previous area first, then creates the new one of exactly block's size.
  void PublishModuleOptions(std::string_view moduleName,
                            std::span<const std::uint8_t> block) override;
  // The calls SetFreezeWatchCalls installed; nothing until then.
  void StartFreezeWatch() override;
  void StopFreezeWatch() override;
  std::string ComputerName() const override;
  std::string ModuleFileName() const override;

  // False when the last publication failed.
  bool Published(HMODULE module) const;

 private:
  HMODULE ModuleOf(std::string_view moduleName) const;

  HMODULE ownModule_;
  mutable std::mutex lock_;
  std::map<HMODULE, std::optional<TSharedArea>> areas_;
};

std::string ModuleFileNameOf(HMODULE module);

// The freeze watcher lives above the options: its start-up hands its start and stop here, for
// the options to call when Enabled or FreezeWatch change.
void SetFreezeWatchCalls(void (*start)(), void (*stop)());
