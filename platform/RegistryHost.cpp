#include "platform/MemoryRegistry.h"

// The host has no system registry: the process keeps one store, empty at start.
IRegistryBackend& PlatformRegistryBackend() {
  static MemoryRegistry store;
  return store;
}
