// The named, page-file-backed memory areas through which the modules of one process see each
// other's data: name + 8 hex digits of the module handle + 8 of the process id. The first
// 32-bit word holds the size of the data that follows.
#pragma once

#include "platform/win/WinApi.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win/UniqueHandle.h"

std::string SharedAreaName(const char* prefix, HMODULE module, DWORD processId);

// An area this process created; it exists as long as the object (or another opener) holds it.
class TSharedArea {
 public:
  // Creates the area holding exactly data. nullopt when the system refuses, or when an area of
  // that name still exists (someone holds it open) and is too small for data.
  static std::optional<TSharedArea> Create(const std::string& name,
                                           std::span<const std::uint8_t> data);

  const std::string& Name() const { return name_; }

 private:
  TSharedArea(std::string name, UniqueKernelHandle mapping)
      : name_(std::move(name)), mapping_(std::move(mapping)) {}

  std::string name_;
  UniqueKernelHandle mapping_;
};

// The data of an existing area: reads the size word, then maps the area again with that size.
// nullopt when no such area exists or its size word promises more than the area holds.
std::optional<std::vector<std::uint8_t>> ReadSharedArea(const std::string& name);
