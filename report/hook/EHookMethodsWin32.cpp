#include <windows.h>

#include <algorithm>

#include "report/hook/EHookRegistryWin32.h"

void THookedMethodsList::Add(const TEntry& entry) {
  const std::lock_guard lock(mutex_);
  entries_.push_back(entry);
}

const THookedMethodsList::TEntry* THookedMethodsList::Find(void** vtable, int slot) const {
  const std::lock_guard lock(mutex_);
  for (const TEntry& e : entries_)
    if (e.VTable == vtable && e.Slot == slot) return &e;
  return nullptr;
}

bool THookedMethodsList::Delete(void** vtable, int slot) {
  const std::lock_guard lock(mutex_);
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TEntry& e) {
    return e.VTable == vtable && e.Slot == slot;
  });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

std::size_t THookedMethodsList::Count() const {
  const std::lock_guard lock(mutex_);
  return entries_.size();
}

std::vector<THookedMethodsList::TEntry> THookedMethodsList::RestoreAll() {
  const std::lock_guard lock(mutex_);
  std::vector<TEntry> restored;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (WriteMem(&it->VTable[it->Slot], &it->Previous, sizeof it->Previous))
      restored.push_back(*it);
  entries_.clear();
  return restored;
}

THookedMethodsList& HookedMethods() { return HookRegistry().Methods; }

void* HookVirtualMethod(void** vtable, int slot, void* newCode) {
  if (!vtable || slot < 0) return nullptr;
  THookedMethodsList& list = HookedMethods();
  list.Lock();
  void* previous = vtable[slot];
  const THookedMethodsList::TEntry* existing = list.Find(vtable, slot);
  if (existing) previous = existing->Previous;
  if (!WriteMem(&vtable[slot], &newCode, sizeof newCode)) {
    list.Unlock();
    return nullptr;
  }
  if (!existing) list.Add({vtable, slot, previous});
  list.Unlock();
  return previous;
}

bool UnhookVirtualMethod(void** vtable, int slot) {
  THookedMethodsList& list = HookedMethods();
  list.Lock();
  const THookedMethodsList::TEntry* entry = list.Find(vtable, slot);
  const bool restored = entry && WriteMem(&vtable[slot], &entry->Previous, sizeof entry->Previous);
  if (restored) list.Delete(vtable, slot);
  list.Unlock();
  return restored;
}
