#include "report/options/ENotifyStringList.h"

#include "platform/SysUtils.h"

TNotifyStringList& TNotifyStringList::operator=(const TNotifyStringList& other) {
  if (this != &other) Assign(other.items_);
  return *this;
}

const std::string& TNotifyStringList::operator[](int index) const {
  CheckIndex(index, Count() - 1);
  return items_[static_cast<std::size_t>(index)];
}

int TNotifyStringList::IndexOf(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)] == text) return i;
  return -1;
}

void TNotifyStringList::Add(std::string text) {
  items_.push_back(std::move(text));
  Changed();
}

void TNotifyStringList::Insert(int index, std::string text) {
  CheckIndex(index, Count());
  items_.insert(items_.begin() + index, std::move(text));
  Changed();
}

void TNotifyStringList::Put(int index, std::string text) {
  CheckIndex(index, Count() - 1);
  items_[static_cast<std::size_t>(index)] = std::move(text);
  Changed();
}

void TNotifyStringList::Delete(int index) {
  CheckIndex(index, Count() - 1);
  items_.erase(items_.begin() + index);
  Changed();
}

void TNotifyStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TNotifyStringList::Assign(const std::vector<std::string>& items) {
  items_ = items;
  Changed();
}

void TNotifyStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format("List index out of bounds (%d)", index));
}

void TNotifyStringList::Changed() const {
  if (OnChange) OnChange();
}
