// A registry held in memory: the host's store and the tests'. Names are case-insensitive and
// keep the case they were created with; subkeys list in the registry's sorted order, values in
// the order they were first set. Thread-safe.
#pragma once

#include <memory>
#include <string_view>

#include "platform/RegistryBackend.h"

class MemoryRegistry final : public IRegistryBackend {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  std::unique_ptr<IRegistryKey> OpenKey(RegistryRoot root, std::string_view path,
                                        RegistryAccess access) override;
  std::unique_ptr<IRegistryKey> CreateKey(RegistryRoot root, std::string_view path) override;
  bool DeleteKeyTree(RegistryRoot root, std::string_view path) override;

  // Failure injection, as missing rights would cause it. A denied key cannot be opened for
  // writing, created under or deleted, and keys already open refuse writes to it; the key
  // must exist. False when it does not.
  bool DenyWriteAccess(RegistryRoot root, std::string_view path, bool deny = true);
  // Writes of that one value of an existing key are refused. False when the key is missing.
  bool RefuseValueWrites(RegistryRoot root, std::string_view path, std::string_view valueName);

 private:
  struct Node;
  struct State;
  class Key;
  std::shared_ptr<State> state_;
};
