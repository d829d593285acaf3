// A list of strings that reports every change through its OnChange handler.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TNotifyStringList {
 public:
  TNotifyStringList() = default;
  TNotifyStringList(std::initializer_list<std::string> items) : items_(items) {}
  // The handler belongs to the owner of the list and is not copied.
  TNotifyStringList(const TNotifyStringList& other) : items_(other.items_) {}
  TNotifyStringList& operator=(const TNotifyStringList& other);

  int Count() const { return static_cast<int>(items_.size()); }
  // EListError for an index outside 0..Count-1.
  const std::string& operator[](int index) const;
  const std::vector<std::string>& Items() const { return items_; }
  // The index of the first entry equal to text, or -1.
  int IndexOf(const std::string& text) const;

  void Add(std::string text);
  void Insert(int index, std::string text);
  void Put(int index, std::string text);
  void Delete(int index);
  void Clear();
  void Assign(const std::vector<std::string>& items);

  std::function<void()> OnChange;

  friend bool operator==(const TNotifyStringList& a, const TNotifyStringList& b) {
    return a.items_ == b.items_;
  }

 private:
  void CheckIndex(int index, int limit) const;
  void Changed() const;

  std::vector<std::string> items_;
};
