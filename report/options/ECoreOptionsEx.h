// The options class of the running subsystem: it publishes itself to the module's shared
// area and starts or stops the freeze watcher when the process's current options change.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "report/options/ECoreOptions.h"

class TOskedaModuleOptionsEx : public TOskedaModuleOptions {
 public:
  using TOskedaModuleOptions::TOskedaModuleOptions;

  // Publishes SharedAreaBlock as the module's "MODULE" area.
  void Changed() override;
  void SetEnabled(bool value) override;
  void SetFreezeWatch(bool value) override;

  // The content of the shared area: one byte 1, then the options stream.
  std::vector<std::uint8_t> SharedAreaBlock() const;
};

// Loads options from a module's shared area content. False, with options untouched, when the
// area is empty or its first byte is 0 (no options published); raises as LoadFromStream does.
bool LoadOptionsFromSharedArea(std::span<const std::uint8_t> block, TOskedaModuleOptions& options);
