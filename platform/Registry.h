// TRegistry: one open key at a time on a registry backend, with the runtime's typed reads and
// writes, its error messages and its recursive key move.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/SysUtils.h"

// Key arguments beginning with a backslash are absolute paths from the root key; others are
// taken relative to the open key (or the root when none is open).
class TRegistry {
 public:
  explicit TRegistry(IRegistryBackend& backend = DefaultRegistryBackend());
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Closes the open key. The root starts as CurrentUser.
  void SetRootKey(RegistryRoot root);
  RegistryRoot RootKey() const { return root_; }

  // Opens for reading and writing; creates the key (and missing parents) when canCreate.
  bool OpenKey(std::string_view key, bool canCreate);
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();
  bool HasCurrentKey() const { return key_ != nullptr; }
  // The open key's path from the root, without a leading backslash.
  const std::string& CurrentPath() const { return currentPath_; }

  bool KeyExists(std::string_view key);
  // Deletes the key with its subkeys; false when it is missing or refused.
  bool DeleteKey(std::string_view key);
  // Subkey names of the open key in enumeration order; empty with no key open.
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  bool ValueExists(std::string_view name);
  // Size of the value's data in bytes, -1 when it does not exist.
  int GetDataSize(std::string_view name);
  // Empty when missing; ERegistryException "Invalid data type for '%s'" for a non-string value.
  std::string ReadString(std::string_view name);
  // Copies a binary value into the buffer and gives its size, 0 when missing.
  // ERegistryException "Invalid data type for '%s'" for another type or a value above bufSize.
  int ReadBinaryData(std::string_view name, void* buffer, int bufSize);
  // ERegistryException "Failed to set data for '%s'" when the store refuses.
  void WriteString(std::string_view name, std::string_view value);
  void WriteBinaryData(std::string_view name, const void* buffer, int bufSize);

  // Copies oldName with every value (type and data) and every subkey to newName, then deletes
  // oldName when deleteOld. Does nothing when oldName is missing or newName exists already.
  // ERegistryException when a key cannot be created, read or deleted, or when newName lies
  // inside oldName.
  void MoveKey(std::string_view oldName, std::string_view newName, bool deleteOld);

 protected:
  IRegistryBackend& Backend() { return backend_; }

 private:
  std::string ResolvePath(std::string_view key) const;
  bool Open(std::string_view key, RegistryAccess access, bool canCreate);
  void CopyKeyTree(IRegistryKey& from, const std::string& fromPath, const std::string& toPath);

  IRegistryBackend& backend_;
  RegistryRoot root_ = RegistryRoot::CurrentUser;
  std::unique_ptr<IRegistryKey> key_;
  std::string currentPath_;
};
