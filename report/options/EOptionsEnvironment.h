// What the options need of the process around them: module identity, the shared area, the
// freeze watcher, the computer name. The Windows build installs its implementation at start;
// until then the built-in one knows no modules and publishes nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TOskedaOptionsEnvironment {
 public:
  virtual ~TOskedaOptionsEnvironment() = default;

  // True when moduleName (a module file name) is the module that carries this code.
  virtual bool IsOwnModule(std::string_view moduleName) const = 0;
  // Replaces the module's shared "MODULE" area by one holding exactly block.
  virtual void PublishModuleOptions(std::string_view moduleName,
                                    std::span<const std::uint8_t> block) = 0;
  virtual void StartFreezeWatch() = 0;
  virtual void StopFreezeWatch() = 0;
  virtual std::string ComputerName() const = 0;
  // The file name of the module that carries this code.
  virtual std::string ModuleFileName() const = 0;
};

// The environment installed for the process (the built-in one when none is).
TOskedaOptionsEnvironment& OskedaOptionsEnvironment();
// Installs environment for the process; nullptr restores the built-in one. Returns the one
// installed before (nullptr for the built-in one). The caller keeps ownership.
TOskedaOptionsEnvironment* SetOskedaOptionsEnvironment(TOskedaOptionsEnvironment* environment);
