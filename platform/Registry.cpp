#include "platform/Registry.h"

#include <cstdint>
#include <cstring>

namespace {

bool IsStringType(DWORD type) {
  return type == RegistryType::String || type == RegistryType::ExpandString;
}

// Raw data without a declared type counts as binary, as the runtime class treats it.
bool IsBinaryType(DWORD type) { return type == RegistryType::Binary || type == RegistryType::None; }

[[noreturn]] void InvalidDataType(std::string_view name) {
  throw ERegistryException(
      Format("Invalid data type for '%.*s'", static_cast<int>(name.size()), name.data()));
}

[[noreturn]] void FailedToSetData(std::string_view name) {
  throw ERegistryException(
      Format("Failed to set data for '%.*s'", static_cast<int>(name.size()), name.data()));
}

std::string JoinPath(std::string_view parent, std::string_view child) {
  if (parent.empty()) return std::string(child);
  std::string path(parent);
  path += '\\';
  path += child;
  return path;
}

// True when path lies strictly below ancestor.
bool IsBelow(std::string_view path, std::string_view ancestor) {
  if (ancestor.empty()) return !path.empty();
  return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
         RegistryNamesEqual(path.substr(0, ancestor.size()), ancestor);
}

}  // namespace

TRegistry::TRegistry(IRegistryBackend& backend) : backend_(backend) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(RegistryRoot root) {
  CloseKey();
  root_ = root;
}

std::string TRegistry::ResolvePath(std::string_view key) const {
  std::string path;
  if (!key.empty() && key.front() == '\\') {
    key.remove_prefix(1);
  } else if (key_) {
    path = currentPath_;
  }
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  if (key.empty()) return path;
  return JoinPath(path, key);
}

bool TRegistry::Open(std::string_view key, RegistryAccess access, bool canCreate) {
  const std::string path = ResolvePath(key);
  std::unique_ptr<IRegistryKey> opened =
      canCreate ? backend_.CreateKey(root_, path) : backend_.OpenKey(root_, path, access);
  if (!opened) return false;
  key_ = std::move(opened);
  currentPath_ = path;
  return true;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  return Open(key, RegistryAccess::ReadWrite, canCreate);
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  return Open(key, RegistryAccess::Read, false);
}

void TRegistry::CloseKey() {
  key_.reset();
  currentPath_.clear();
}

bool TRegistry::KeyExists(std::string_view key) {
  return backend_.OpenKey(root_, ResolvePath(key), RegistryAccess::Read) != nullptr;
}

bool TRegistry::DeleteKey(std::string_view key) {
  const std::string path = ResolvePath(key);
  if (path.empty()) return false;
  return backend_.DeleteKeyTree(root_, path);
}

std::vector<std::string> TRegistry::GetKeyNames() {
  return key_ ? key_->SubKeyNames() : std::vector<std::string>{};
}

std::vector<std::string> TRegistry::GetValueNames() {
  return key_ ? key_->ValueNames() : std::vector<std::string>{};
}

bool TRegistry::ValueExists(std::string_view name) { return GetDataSize(name) >= 0; }

int TRegistry::GetDataSize(std::string_view name) {
  DWORD type = 0;
  std::size_t size = 0;
  if (!key_ || !key_->QueryValueInfo(name, type, size)) return -1;
  return size > INT32_MAX ? INT32_MAX : static_cast<int>(size);
}

std::string TRegistry::ReadString(std::string_view name) {
  RegistryValue value;
  if (!key_ || !key_->QueryValue(name, value)) return {};
  if (!IsStringType(value.type)) InvalidDataType(name);
  // Stored strings end with a zero; a value written without one is taken whole.
  if (value.data.empty()) return {};
  const auto* bytes = reinterpret_cast<const char*>(value.data.data());
  const void* zero = std::memchr(bytes, 0, value.data.size());
  const std::size_t length =
      zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : value.data.size();
  return std::string(bytes, length);
}

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int bufSize) {
  RegistryValue value;
  if (!key_ || !key_->QueryValue(name, value)) return 0;
  if (!IsBinaryType(value.type) || bufSize < 0 ||
      value.data.size() > static_cast<std::size_t>(bufSize))
    InvalidDataType(name);
  if (!value.data.empty()) std::memcpy(buffer, value.data.data(), value.data.size());
  return static_cast<int>(value.data.size());
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  std::vector<std::uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  if (!key_ || !key_->SetValue(name, RegistryType::String, data)) FailedToSetData(name);
}

void TRegistry::WriteBinaryData(std::string_view name, const void* buffer, int bufSize) {
  if (bufSize < 0) FailedToSetData(name);
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  const std::span<const std::uint8_t> data(bytes, static_cast<std::size_t>(bufSize));
  if (!key_ || !key_->SetValue(name, RegistryType::Binary, data)) FailedToSetData(name);
}

void TRegistry::MoveKey(std::string_view oldName, std::string_view newName, bool deleteOld) {
  const std::string oldPath = ResolvePath(oldName);
  const std::string newPath = ResolvePath(newName);
  std::unique_ptr<IRegistryKey> source = backend_.OpenKey(root_, oldPath, RegistryAccess::Read);
  if (!source || backend_.OpenKey(root_, newPath, RegistryAccess::Read)) return;
  // Copying a key into its own subtree would never end.
  if (IsBelow(newPath, oldPath))
    throw ERegistryException(
        Format("Cannot move key '%s' into itself ('%s')", oldPath.c_str(), newPath.c_str()));
  CopyKeyTree(*source, oldPath, newPath);
  source.reset();
  if (deleteOld && !backend_.DeleteKeyTree(root_, oldPath))
    throw ERegistryException(Format("Failed to delete key '%s'", oldPath.c_str()));
}

void TRegistry::CopyKeyTree(IRegistryKey& from, const std::string& fromPath,
                            const std::string& toPath) {
  std::unique_ptr<IRegistryKey> to = backend_.CreateKey(root_, toPath);
  if (!to) throw ERegistryException(Format("Failed to create key '%s'", toPath.c_str()));
  for (const std::string& name : from.ValueNames()) {
    RegistryValue value;
    if (!from.QueryValue(name, value)) continue;  // removed while we copied
    if (!to->SetValue(name, value.type, value.data)) FailedToSetData(name);
  }
  for (const std::string& name : from.SubKeyNames()) {
    const std::string childPath = JoinPath(fromPath, name);
    std::unique_ptr<IRegistryKey> child = backend_.OpenKey(root_, childPath, RegistryAccess::Read);
    if (!child) throw ERegistryException(Format("Failed to open key '%s'", childPath.c_str()));
    CopyKeyTree(*child, childPath, JoinPath(toPath, name));
  }
}
