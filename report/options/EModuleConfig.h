// The modules of the process that carry a reporting configuration: each one's options, debug
// information and directory, and the lookup that turns a code address into module, unit,
// class, procedure and line.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "report/options/EConfigContainer.h"
#include "report/options/ECoreOptionsEx.h"
#include "report/options/EDebugInfo.h"

struct TModuleConfigRecord {
  std::uintptr_t Base = 0;
  std::uint32_t ImageSize = 0;
  std::string FileName;
  double BuildDate = 0;
  std::vector<TConfigDirectoryEntry> Directory;
  // Null when the module has neither a sound container nor published options.
  std::unique_ptr<TOskedaModuleOptionsEx> Options;
  std::optional<TDebugInfo> DebugInfo;

  bool Contains(std::uintptr_t address) const { return address - Base < ImageSize; }
  // The address of a directory symbol in the loaded image, 0 when the directory lacks it.
  std::uintptr_t SymbolAddress(std::uint8_t id) const;
};

// An empty Module means the address lies in no module; empty names and Line 0 mean the
// module has no debug information for it.
struct TAddressInfo {
  std::uintptr_t Address = 0;
  std::string Module;
  std::string Unit;
  std::string ClassName;
  std::string Procedure;
  std::uint32_t Line = 0;
  std::uintptr_t LineAddress = 0;
  // Bytes from the start of the line.
  std::uint32_t Offset() const { return static_cast<std::uint32_t>(Address - LineAddress); }
  bool HasSymbol() const { return !Procedure.empty(); }
};

// The record list of the process. Records live until Clear (at shutdown), so references stay
// valid even when a module is registered again.
class TModuleConfigList {
 public:
  // Takes the place of an earlier record of the same base.
  TModuleConfigRecord& Add(std::unique_ptr<TModuleConfigRecord> record);
  TModuleConfigRecord* FindByBase(std::uintptr_t base);
  TModuleConfigRecord* FindByAddress(std::uintptr_t address);
  // Module name and, where the tables describe the address, the symbol; Module empty when no
  // registered module holds the address.
  TAddressInfo Lookup(std::uintptr_t address);
  void Clear();

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<TModuleConfigRecord>> records_;
  std::vector<std::unique_ptr<TModuleConfigRecord>> retired_;
};

TModuleConfigList& OskedaModuleConfigs();

// The record a container gives, its options loaded into an options object of the module that
// does not publish yet: turning PublishChanges on publishes them.
std::unique_ptr<TModuleConfigRecord> MakeModuleConfigRecord(std::uintptr_t base,
                                                            std::uint32_t imageSize,
                                                            std::string fileName,
                                                            TConfigContainer container);
