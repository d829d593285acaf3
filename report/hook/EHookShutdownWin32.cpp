#include <windows.h>

#include "report/hook/EHookRegistryWin32.h"

THookRegistry& HookRegistry() {
  // Never destroyed: a static destructor of another unit may still unhook at the end of the
  // process, after the removal below, and then finds nothing left to do.
  static THookRegistry* registry = new THookRegistry;
  return *registry;
}

namespace {

// Removes the hooks when the process ends normally.
struct TRestoreAtExit {
  ~TRestoreAtExit() { EHookDone(); }
} restoreAtExit;

}  // namespace

std::vector<std::string> THookRegistry::RestoreAll() {
  const std::lock_guard lock(Mutex);
  std::vector<std::string> restored;
  for (auto it = Imports.rbegin(); it != Imports.rend(); ++it) {
    // A slot that someone else has taken over since is theirs now.
    if (*it->Slot == it->Replacement && WriteMem(it->Slot, &it->Previous, sizeof it->Previous))
      restored.push_back("import " + it->Name);
  }
  Imports.clear();
  for (const THookedMethodsList::TEntry& entry : Methods.RestoreAll())
    restored.push_back("method " + std::to_string(entry.Slot));
  for (auto it = Procedures.rbegin(); it != Procedures.rend(); ++it)
    if (WriteMem(it->Proc, it->SavedBytes.data(), it->SavedBytes.size()))
      restored.push_back("procedure " + it->Name);
  Procedures.clear();
  return restored;
}

std::vector<std::string> EHookDone() { return HookRegistry().RestoreAll(); }
