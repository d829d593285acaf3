#include "report/options/EModuleConfig.h"

#include <algorithm>

std::uintptr_t TModuleConfigRecord::SymbolAddress(std::uint8_t id) const {
  for (const TConfigDirectoryEntry& entry : Directory)
    if (entry.Id == id && entry.Offset < ImageSize) return Base + entry.Offset;
  return 0;
}

TModuleConfigRecord& TModuleConfigList::Add(std::unique_ptr<TModuleConfigRecord> record) {
  std::lock_guard guard(lock_);
  auto same = std::find_if(records_.begin(), records_.end(),
                           [&](const auto& r) { return r->Base == record->Base; });
  if (same != records_.end()) {
    // Whoever still holds the old record keeps a valid one.
    retired_.push_back(std::move(*same));
    *same = std::move(record);
    return **same;
  }
  records_.push_back(std::move(record));
  return *records_.back();
}

TModuleConfigRecord* TModuleConfigList::FindByBase(std::uintptr_t base) {
  std::lock_guard guard(lock_);
  for (const auto& record : records_)
    if (record->Base == base) return record.get();
  return nullptr;
}

TModuleConfigRecord* TModuleConfigList::FindByAddress(std::uintptr_t address) {
  std::lock_guard guard(lock_);
  for (const auto& record : records_)
    if (record->Contains(address)) return record.get();
  return nullptr;
}

TAddressInfo TModuleConfigList::Lookup(std::uintptr_t address) {
  TAddressInfo info;
  info.Address = address;
  info.LineAddress = address;
  std::lock_guard guard(lock_);
  const auto found = std::find_if(records_.begin(), records_.end(),
                                  [address](const auto& r) { return r->Contains(address); });
  if (found == records_.end()) return info;
  const TModuleConfigRecord* record = found->get();
  info.Module = record->FileName;
  if (!record->DebugInfo) return info;
  const TDebugLocation location =
      record->DebugInfo->Lookup(static_cast<std::uint32_t>(address - record->Base));
  if (!location.Found) return info;
  info.Unit = location.Unit;
  info.ClassName = location.ClassName;
  info.Procedure = location.Procedure;
  info.Line = location.Line;
  if (location.Line != 0) info.LineAddress = record->Base + location.LineOffset;
  return info;
}

void TModuleConfigList::Clear() {
  std::lock_guard guard(lock_);
  records_.clear();
  retired_.clear();
}

TModuleConfigList& OskedaModuleConfigs() {
  static TModuleConfigList list;
  return list;
}

std::unique_ptr<TModuleConfigRecord> MakeModuleConfigRecord(std::uintptr_t base,
                                                            std::uint32_t imageSize,
                                                            std::string fileName,
                                                            TConfigContainer container) {
  auto record = std::make_unique<TModuleConfigRecord>();
  record->Base = base;
  record->ImageSize = imageSize;
  record->FileName = fileName;
  record->BuildDate = container.BuildDate;
  record->Directory = std::move(container.Directory);
  record->DebugInfo = std::move(container.DebugInfo);
  record->Options = std::make_unique<TOskedaModuleOptionsEx>(std::move(fileName), false);
  TMemoryStream stream(container.OptionsStream);
  record->Options->LoadFromStream(stream, container.Version);
  return record;
}
