// The loaded module that holds an address (its code or its data), without taking a reference.
#pragma once

#include "platform/win/WinApi.h"

// Null when no module holds it.
inline HMODULE ModuleOfAddress(const void* address) {
  HMODULE module = nullptr;
  if (!address ||
      !GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}
