// The records of the hooks this process installed, shared by the hook kinds and the
// shutdown that removes them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "report/hook/EHookTrampoline.h"
#include "report/hook/EHookWin32.h"

struct TProcedureHook {
  void* Proc;
  std::uint8_t* Trampoline;
  std::size_t TrampolineSize;
  std::vector<std::uint8_t> SavedBytes;  // what the jump and its padding overwrote
  std::string Name;
};

struct TImportHook {
  HMODULE Module;
  std::string Library;
  std::string Name;  // library!procedure
  void** Slot;
  void* Previous;
  void* Replacement;
};

// Executable memory for trampolines, carved into fixed slots from 64 KB blocks. The blocks
// stay read-and-execute; slots are written through WriteMem. Blocks are never released: the
// process may end with a thread still running through a trampoline.
class TTrampolinePool {
 public:
  TTrampolinePool() = default;
  TTrampolinePool(const TTrampolinePool&) = delete;
  TTrampolinePool& operator=(const TTrampolinePool&) = delete;

  std::uint8_t* Allocate();  // null when the system gives no memory
  void Free(std::uint8_t* slot);

 private:
  std::vector<void*> blocks_;
  std::vector<std::uint8_t*> free_;
};

struct THookRegistry {
  std::recursive_mutex Mutex;
  TTrampolinePool Pool;
  std::vector<TProcedureHook> Procedures;
  std::vector<TImportHook> Imports;
  THookedMethodsList Methods;

  std::vector<std::string> RestoreAll();
};

THookRegistry& HookRegistry();

// Reads this process's memory where it is committed and readable.
class TProcessMemory : public IHookMemory {
 public:
  bool Read(std::uint32_t address, std::span<std::uint8_t> out) const override;
  // How many bytes from address on are readable, up to limit.
  static std::size_t Readable(const void* address, std::size_t limit);
};
