// The host has no private-profile functions: its settings files live in memory for the run.
#include "platform/IniFileMemory.h"

IIniBackend& PlatformIniBackend() {
  static MemoryIniStore store;
  return store;
}
