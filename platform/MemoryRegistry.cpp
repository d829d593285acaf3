#include "platform/MemoryRegistry.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct MemoryRegistry::Node {
  std::string name;
  std::vector<std::shared_ptr<Node>> children;  // sorted by RegistryNameLess
  std::vector<std::pair<std::string, RegistryValue>> values;
  std::vector<std::string> refusedValues;
  bool deleted = false;
  bool writeDenied = false;

  std::shared_ptr<Node> Child(std::string_view childName) const {
    auto it = LowerBound(childName);
    return it != children.end() && RegistryNamesEqual((*it)->name, childName) ? *it : nullptr;
  }
  std::vector<std::shared_ptr<Node>>::const_iterator LowerBound(std::string_view childName) const {
    return std::lower_bound(children.begin(), children.end(), childName,
                            [](const std::shared_ptr<Node>& node, std::string_view n) {
                              return RegistryNameLess(node->name, n);
                            });
  }
  std::pair<std::string, RegistryValue>* Value(std::string_view valueName) {
    for (auto& entry : values)
      if (RegistryNamesEqual(entry.first, valueName)) return &entry;
    return nullptr;
  }
  void MarkDeleted() {
    deleted = true;
    for (const auto& child : children) child->MarkDeleted();
  }
  bool Refuses(std::string_view valueName) const {
    if (writeDenied) return true;
    return std::any_of(refusedValues.begin(), refusedValues.end(),
                       [&](const std::string& n) { return RegistryNamesEqual(n, valueName); });
  }
};

struct MemoryRegistry::State {
  std::mutex mutex;
  std::shared_ptr<Node> roots[5];

  State() {
    for (auto& root : roots) root = std::make_shared<Node>();
  }

  std::shared_ptr<Node> Find(RegistryRoot root, const std::vector<std::string_view>& parts) {
    std::shared_ptr<Node> node = roots[static_cast<int>(root)];
    for (const std::string_view part : parts) {
      node = node->Child(part);
      if (!node) return nullptr;
    }
    return node;
  }
};

namespace {

// Splits a backend path into its parts; false for an empty part ("A\\B", "\A").
bool SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
  parts.clear();
  if (path.empty()) return true;
  for (;;) {
    const std::size_t slash = path.find('\\');
    const std::string_view part = path.substr(0, slash);
    if (part.empty()) return false;
    parts.push_back(part);
    if (slash == std::string_view::npos) return true;
    path.remove_prefix(slash + 1);
  }
}

}  // namespace

class MemoryRegistry::Key final : public IRegistryKey {
 public:
  Key(std::shared_ptr<State> state, std::shared_ptr<Node> node, bool writable)
      : state_(std::move(state)), node_(std::move(node)), writable_(writable) {}

  std::vector<std::string> SubKeyNames() override {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> names;
    if (node_->deleted) return names;
    for (const auto& child : node_->children) names.push_back(child->name);
    return names;
  }

  std::vector<std::string> ValueNames() override {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> names;
    if (node_->deleted) return names;
    for (const auto& entry : node_->values) names.push_back(entry.first);
    return names;
  }

  bool QueryValue(std::string_view name, RegistryValue& value) override {
    std::lock_guard lock(state_->mutex);
    if (node_->deleted) return false;
    const auto* entry = node_->Value(name);
    if (!entry) return false;
    value = entry->second;
    return true;
  }

  bool QueryValueInfo(std::string_view name, DWORD& type, std::size_t& size) override {
    std::lock_guard lock(state_->mutex);
    if (node_->deleted) return false;
    const auto* entry = node_->Value(name);
    if (!entry) return false;
    type = entry->second.type;
    size = entry->second.data.size();
    return true;
  }

  bool SetValue(std::string_view name, DWORD type, std::span<const std::uint8_t> data) override {
    std::lock_guard lock(state_->mutex);
    if (!writable_ || node_->deleted || node_->Refuses(name)) return false;
    RegistryValue value{type, std::vector<std::uint8_t>(data.begin(), data.end())};
    if (auto* entry = node_->Value(name))
      entry->second = std::move(value);
    else
      node_->values.emplace_back(std::string(name), std::move(value));
    return true;
  }

 private:
  std::shared_ptr<State> state_;
  std::shared_ptr<Node> node_;
  bool writable_;
};

MemoryRegistry::MemoryRegistry() : state_(std::make_shared<State>()) {}

MemoryRegistry::~MemoryRegistry() = default;

std::unique_ptr<IRegistryKey> MemoryRegistry::OpenKey(RegistryRoot root, std::string_view path,
                                                      RegistryAccess access) {
  std::vector<std::string_view> parts;
  if (!SplitPath(path, parts)) return nullptr;
  std::lock_guard lock(state_->mutex);
  auto node = state_->Find(root, parts);
  if (!node) return nullptr;
  const bool writable = access == RegistryAccess::ReadWrite;
  if (writable && node->writeDenied) return nullptr;
  return std::make_unique<Key>(state_, std::move(node), writable);
}

std::unique_ptr<IRegistryKey> MemoryRegistry::CreateKey(RegistryRoot root, std::string_view path) {
  std::vector<std::string_view> parts;
  if (!SplitPath(path, parts)) return nullptr;
  std::lock_guard lock(state_->mutex);
  auto node = state_->roots[static_cast<int>(root)];
  for (const std::string_view part : parts) {
    auto child = node->Child(part);
    if (!child) {
      if (node->writeDenied) return nullptr;
      child = std::make_shared<Node>();
      child->name = std::string(part);
      node->children.insert(node->LowerBound(part), child);
    }
    node = std::move(child);
  }
  if (node->writeDenied) return nullptr;
  return std::make_unique<Key>(state_, std::move(node), true);
}

bool MemoryRegistry::DeleteKeyTree(RegistryRoot root, std::string_view path) {
  std::vector<std::string_view> parts;
  if (!SplitPath(path, parts) || parts.empty()) return false;
  std::lock_guard lock(state_->mutex);
  const std::string_view last = parts.back();
  parts.pop_back();
  auto parent = state_->Find(root, parts);
  if (!parent) return false;
  const auto it = parent->LowerBound(last);
  if (it == parent->children.end() || !RegistryNamesEqual((*it)->name, last)) return false;
  if ((*it)->writeDenied) return false;
  (*it)->MarkDeleted();
  parent->children.erase(it);
  return true;
}

bool MemoryRegistry::DenyWriteAccess(RegistryRoot root, std::string_view path, bool deny) {
  std::vector<std::string_view> parts;
  if (!SplitPath(path, parts)) return false;
  std::lock_guard lock(state_->mutex);
  auto node = state_->Find(root, parts);
  if (!node) return false;
  node->writeDenied = deny;
  return true;
}

bool MemoryRegistry::RefuseValueWrites(RegistryRoot root, std::string_view path,
                                       std::string_view valueName) {
  std::vector<std::string_view> parts;
  if (!SplitPath(path, parts)) return false;
  std::lock_guard lock(state_->mutex);
  auto node = state_->Find(root, parts);
  if (!node) return false;
  node->refusedValues.emplace_back(valueName);
  return true;
}
