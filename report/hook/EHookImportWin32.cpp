#include <windows.h>

#include "report/hook/EHookRegistryWin32.h"

namespace {

// The import descriptors of a loaded module, or null when its headers do not describe any.
const IMAGE_IMPORT_DESCRIPTOR* ImportDescriptors(HMODULE module) {
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
    return nullptr;
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0 || imports.Size == 0) return nullptr;
  return reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
}

}  // namespace

bool HookImport(std::span<const std::string> modules, std::string_view library,
                std::string_view procedure, void** previous, void* newProc) {
  void* target = nullptr;
  if (HMODULE exporter = ::GetModuleHandleA(std::string(library).c_str()))
    target = reinterpret_cast<void*>(::GetProcAddress(exporter, std::string(procedure).c_str()));
  if (previous) *previous = target;
  if (!target || !newProc) return false;

  THookRegistry& registry = HookRegistry();
  const std::lock_guard lock(registry.Mutex);
  bool replaced = false;
  for (const std::string& name : modules) {
    HMODULE module = ::GetModuleHandleA(name.empty() ? nullptr : name.c_str());
    if (!module) continue;
    const auto* base = reinterpret_cast<std::uint8_t*>(module);
    for (const IMAGE_IMPORT_DESCRIPTOR* d = ImportDescriptors(module); d && d->Name != 0; ++d) {
      // Every slot holding the address counts, whichever library name the module imported it
      // by: forwarded exports reach a module's table under several names.
      auto* slot =
          reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<std::uint8_t*>(base) + d->FirstThunk);
      for (; slot->u1.Function != 0; ++slot) {
        if (reinterpret_cast<void*>(slot->u1.Function) != target) continue;
        auto** address = reinterpret_cast<void**>(&slot->u1.Function);
        if (!WriteMem(address, &newProc, sizeof newProc)) continue;
        registry.Imports.push_back({module, std::string(library),
                                    std::string(library) + "!" + std::string(procedure), address,
                                    target, newProc});
        replaced = true;
      }
    }
  }
  return replaced;
}
