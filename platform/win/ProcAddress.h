// A function of a loaded library, looked up by name at run time: for libraries the program
// loads only when it first needs them, and for functions older systems lack.
#pragma once

#include "platform/win/WinApi.h"

// The function `name` of `library` as a `Function` pointer; null when the library is null or
// does not export the name.
template <typename Function>
Function ProcAddress(HMODULE library, const char* name) {
  if (!library) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
