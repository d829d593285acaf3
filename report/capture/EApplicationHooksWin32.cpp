// The hooks on TApplication::HandleException and ShowException, found through the symbol
// directory of the program's configuration (identifiers 0 and 1), so that the program itself
// knows nothing of the reporting subsystem.
#include "report/capture/EApplicationHooksWin32.h"

#include "platform/win/WinApi.h"

#include <exception>

#include "report/capture/EExceptionManagerWin32.h"
#include "report/hook/EHookWin32.h"
#include "report/options/EModuleConfig.h"

class TApplication;
class TObject;

namespace {

using THandleException = void(__attribute__((thiscall)) *)(TApplication*, TObject*);
using TShowException = void(__attribute__((thiscall)) *)(TApplication*, std::exception_ptr);

THandleException handleTrampoline = nullptr;
TShowException showTrampoline = nullptr;
// Set while the hooked HandleException runs on this thread: its ShowException does not
// report the same exception again.
thread_local bool insideHandleException = false;

void __attribute__((thiscall)) HandleExceptionHook(TApplication* self, TObject* sender) {
  const bool run = ExceptionManager(nullptr, nullptr, 1, GetModuleHandleA(nullptr));
  if (!run) return;
  insideHandleException = true;
  handleTrampoline(self, sender);
  insideHandleException = false;
}

void __attribute__((thiscall)) ShowExceptionHook(TApplication* self, std::exception_ptr e) {
  if (insideHandleException || ExceptionManager(&e, nullptr, 1, GetModuleHandleA(nullptr)))
    showTrampoline(self, e);
}

template <typename Fn>
Fn HookSymbol(TModuleConfigRecord& record, std::uint8_t id, Fn hook) {
  const std::uintptr_t address = record.SymbolAddress(id);
  if (!address) return nullptr;
  try {
    return reinterpret_cast<Fn>(HookProcedure(reinterpret_cast<void*>(address),
                                              reinterpret_cast<void*>(hook),
                                              id == 0 ? "SymbolID = 0" : "SymbolID = 1"));
  } catch (const EHookError&) {
    return nullptr;
  }
}

}  // namespace

int InstallApplicationHooks() {
  TModuleConfigRecord* record =
      OskedaModuleConfigs().FindByBase(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
  if (!record) return 0;
  if (!handleTrampoline) handleTrampoline = HookSymbol(*record, 0, &HandleExceptionHook);
  if (!showTrampoline) showTrampoline = HookSymbol(*record, 1, &ShowExceptionHook);
  return (handleTrampoline ? 1 : 0) + (showTrampoline ? 1 : 0);
}
