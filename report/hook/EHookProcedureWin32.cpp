#include "platform/win/WinApi.h"
#include "platform/win/ModuleOfAddress.h"

#include <algorithm>
#include <cstring>

#include "report/hook/EHookRegistryWin32.h"

namespace {

std::uint32_t AddressOf(const void* p) {
  return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(p));
}

void* Followed(void* address) {
  if (!address) return address;
  const std::uint32_t target = FollowJumpThunks(AddressOf(address), TProcessMemory());
  return reinterpret_cast<void*>(static_cast<UINT_PTR>(target));
}

bool IsNtFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&version)) return true;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string ModuleFileNameAt(const void* address) {
  HMODULE module = ModuleOfAddress(address);
  if (!module) return {};
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(module, path, sizeof path);
  return std::string(path, length);
}

std::vector<TProcedureHook>::iterator FindHook(THookRegistry& registry, void* proc) {
  return std::find_if(registry.Procedures.begin(), registry.Procedures.end(),
                      [proc](const TProcedureHook& h) { return h.Proc == proc; });
}

}  // namespace

void* HookProcedure(void* proc, void* newProc, std::string_view name) {
  if (!proc) throw EProcNull(ProcNullMessage(name));
  proc = Followed(proc);
  newProc = Followed(newProc);
  if (AddressOf(proc) >= 0x80000000u && !IsNtFamily())
    throw ESharedArea(SharedAreaMessage(ModuleFileNameAt(proc)));

  THookRegistry& registry = HookRegistry();
  const std::lock_guard lock(registry.Mutex);
  if (const auto existing = FindHook(registry, proc); existing != registry.Procedures.end())
    return existing->Trampoline;

  const auto* start = static_cast<const std::uint8_t*>(proc);
  const std::vector<std::uint8_t> code(start,
                                       start + TProcessMemory::Readable(proc, kMaxPatchedCode));
  std::uint8_t* slot = newProc ? registry.Pool.Allocate() : nullptr;
  if (!slot) throw EHookingError(HookingErrorMessage(name));
  const TTrampoline trampoline = BuildTrampoline(code, AddressOf(proc), AddressOf(slot));
  if (trampoline.Error != TTrampolineError::None ||
      !WriteMem(slot, trampoline.Code.data(), trampoline.Code.size())) {
    registry.Pool.Free(slot);
    throw EHookingError(HookingErrorMessage(name));
  }
  TProcedureHook hook{
      proc, slot, trampoline.Code.size(),
      std::vector<std::uint8_t>(code.begin(), code.begin() + trampoline.PatchLength),
      std::string(name)};
  registry.Procedures.push_back(std::move(hook));
  if (!JumpToMem(proc, newProc)) {
    registry.Procedures.pop_back();
    registry.Pool.Free(slot);
    throw EHookingError(HookingErrorMessage(name));
  }
  return slot;
}

bool UnhookProcedure(void* proc) {
  proc = Followed(proc);
  THookRegistry& registry = HookRegistry();
  const std::lock_guard lock(registry.Mutex);
  const auto hook = FindHook(registry, proc);
  if (hook == registry.Procedures.end()) return false;
  if (!WriteMem(hook->Proc, hook->SavedBytes.data(), hook->SavedBytes.size())) return false;
  registry.Pool.Free(hook->Trampoline);
  registry.Procedures.erase(hook);
  return true;
}
