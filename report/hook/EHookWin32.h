// Patching live code of this process: inline hooks of procedures, import-table hooks and
// virtual-method hooks. Every hook is recorded, and EHookDone (also run when the process
// ends) restores them all: import slots, then virtual-method slots, then inline hooks, each
// kind newest first.
#pragma once

#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/hook/EHookErrors.h"

// Makes count bytes at dest writable (read-write-execute), copies source there, restores the
// previous protection and flushes the instruction cache. False, with nothing written, when
// the protection cannot be changed (no such memory).
bool WriteMem(void* dest, const void* source, std::size_t count);

// Writes a 5-byte relative jump (E9 and a 32-bit displacement) to target at `at`.
bool JumpToMem(void* at, const void* target);

// Hooks proc: a jump to newProc replaces its first whole instructions, and the returned
// trampoline runs those instructions and goes on in proc, so that the original can still be
// called. Jump thunks (FF 25) are followed on both addresses first. Hooking the same procedure
// again returns the first trampoline and leaves the first hook in place.
// Raises EProcNull when proc is null, ESharedArea when proc lies at or above 2 GB outside the
// NT family, EHookingError when the hook cannot be built (unknown instructions, a procedure
// shorter than the jump, memory that cannot be written). name only names the hook in messages.
void* HookProcedure(void* proc, void* newProc, std::string_view name);

// The same for typed function pointers (free functions, or member functions taken by address
// through the configuration's symbol directory and cast to a free-function type).
template <typename Fn>
Fn HookProcedureAs(Fn proc, Fn newProc, std::string_view name) {
  return reinterpret_cast<Fn>(
      HookProcedure(reinterpret_cast<void*>(proc), reinterpret_cast<void*>(newProc), name));
}

// Writes the saved bytes back over proc (after following its jump thunks) and frees its
// trampoline. False when proc is not hooked.
bool UnhookProcedure(void* proc);

// For each module named in modules that is loaded ("" names the program itself), replaces in
// its import table every slot that holds the address of library!procedure by newProc.
// previous receives that address (null when library is not loaded or lacks procedure). True
// when any slot was replaced. Delay-load import tables are not searched.
bool HookImport(std::span<const std::string> modules, std::string_view library,
                std::string_view procedure, void** previous, void* newProc);

// The virtual method table of a polymorphic object: what HookVirtualMethod calls a class.
inline void** VirtualTableOf(const void* object) { return *static_cast<void** const*>(object); }

// Replaces slot `slot` of the virtual method table vtable by newCode and returns the code it
// held before. Hooking a hooked slot again installs newCode but keeps (and returns) the code
// the slot held before the first hook, so that unhooking gives the class its own code back.
// Null when vtable is null, slot is negative or the table cannot be written.
void* HookVirtualMethod(void** vtable, int slot, void* newCode);
// Restores the slot; false when it is not hooked.
bool UnhookVirtualMethod(void** vtable, int slot);

// The hooked virtual-method slots. Destroying it restores every slot, newest first.
class THookedMethodsList {
 public:
  struct TEntry {
    void** VTable;
    int Slot;
    void* Previous;  // the code the slot held before it was hooked
  };

  THookedMethodsList() = default;
  THookedMethodsList(const THookedMethodsList&) = delete;
  THookedMethodsList& operator=(const THookedMethodsList&) = delete;
  ~THookedMethodsList() { RestoreAll(); }

  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }
  void Add(const TEntry& entry);
  // The entry of that slot, or null; the pointer holds while the list is locked.
  const TEntry* Find(void** vtable, int slot) const;
  bool Delete(void** vtable, int slot);
  std::size_t Count() const;
  // Writes every slot's previous code back, newest first, and empties the list. Returns the
  // entries restored, in that order.
  std::vector<TEntry> RestoreAll();

 private:
  mutable std::recursive_mutex mutex_;
  std::vector<TEntry> entries_;
};

// The process's list of hooked virtual methods.
THookedMethodsList& HookedMethods();

// Removes every hook, in the order given above, and returns their names in the order they
// were restored ("import <library>!<procedure>", "method <slot>", "procedure <name>").
// Trampolines stay allocated: a thread of the ending process may still be running through
// one, and it then goes on in the restored procedure.
std::vector<std::string> EHookDone();
