// The store under TRegistry: open keys, enumerate them, read and write typed values, delete
// key trees. The in-memory store and the Win32 registry implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WinTypes.h"

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

enum class RegistryAccess { Read, ReadWrite };

// The value type codes of the Win32 registry (REG_SZ and friends), kept numerically equal so
// that a copied value keeps its type whatever it is.
namespace RegistryType {
constexpr DWORD None = 0;
constexpr DWORD String = 1;
constexpr DWORD ExpandString = 2;
constexpr DWORD Binary = 3;
constexpr DWORD DWord = 4;
constexpr DWORD MultiString = 7;
constexpr DWORD QWord = 11;
}  // namespace RegistryType

struct RegistryValue {
  DWORD type = RegistryType::None;
  std::vector<std::uint8_t> data;
};

// An open key; closed when the object goes. Operations on a key that was deleted meanwhile
// find nothing and write nothing.
class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  // Subkey and value names in the store's enumeration order.
  virtual std::vector<std::string> SubKeyNames() = 0;
  virtual std::vector<std::string> ValueNames() = 0;
  // False when the value does not exist.
  virtual bool QueryValue(std::string_view name, RegistryValue& value) = 0;
  virtual bool QueryValueInfo(std::string_view name, DWORD& type, std::size_t& size) = 0;
  // False when the store refuses (key opened read-only, no rights).
  virtual bool SetValue(std::string_view name, DWORD type, std::span<const std::uint8_t> data) = 0;
};

// Paths are relative to the root, parts separated by single backslashes, without a leading
// one; the empty path is the root key itself.
class IRegistryBackend {
 public:
  virtual ~IRegistryBackend() = default;
  // Null when the key does not exist or cannot be opened with that access.
  virtual std::unique_ptr<IRegistryKey> OpenKey(RegistryRoot root, std::string_view path,
                                                RegistryAccess access) = 0;
  // Opens for reading and writing, creating the key and missing parents; null when refused.
  virtual std::unique_ptr<IRegistryKey> CreateKey(RegistryRoot root, std::string_view path) = 0;
  // Deletes the key with all its values and subkeys; false when it is missing or refused.
  virtual bool DeleteKeyTree(RegistryRoot root, std::string_view path) = 0;
};

// Key and value names compare like the registry's: without regard to (ASCII) letter case.
bool RegistryNamesEqual(std::string_view a, std::string_view b);
// Orders names the way the registry lists subkeys: case-folded, then by byte.
bool RegistryNameLess(std::string_view a, std::string_view b);

// The backend in force: the platform's own unless a test installed another.
IRegistryBackend& DefaultRegistryBackend();

// Installs another backend for the lifetime of the object (tests only; not thread-safe).
class ScopedRegistryBackend {
 public:
  explicit ScopedRegistryBackend(IRegistryBackend& backend);
  ~ScopedRegistryBackend();
  ScopedRegistryBackend(const ScopedRegistryBackend&) = delete;
  ScopedRegistryBackend& operator=(const ScopedRegistryBackend&) = delete;

 private:
  IRegistryBackend* previous_;
};

// The platform's registry on Windows; on the host, one in-memory store for the whole process.
IRegistryBackend& PlatformRegistryBackend();
