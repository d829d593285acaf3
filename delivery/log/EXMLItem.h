// A small XML element tree that renders itself as indented text.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TXMLItem;

// Owns its elements; they are freed last first.
class TXMLItems {
 public:
  TXMLItems() = default;
  TXMLItems(const TXMLItems&) = delete;
  TXMLItems& operator=(const TXMLItems&) = delete;
  ~TXMLItems();

  TXMLItem* Add(std::string name);
  int Count() const { return static_cast<int>(items_.size()); }
  TXMLItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }

 private:
  friend class TXMLItem;
  std::vector<std::unique_ptr<TXMLItem>> items_;
};

class TXMLItem {
 public:
  explicit TXMLItem(std::string name, TXMLItem* parent = nullptr)
      : name_(std::move(name)), parent_(parent) {}

  // A new last child of this element.
  TXMLItem* AddChild(std::string name);
  // Appends name="value" with the value escaped.
  void AddAttribute(std::string_view name, std::string_view value);

  // The element, its attributes and children, each element on its own lines ending in CR LF,
  // children indented by two more spaces than their parent.
  std::string Render();

  const std::string& Name() const { return name_; }
  std::string Content;  // written unchanged between the tags
  const std::string& AttributeText() const { return attributes_; }
  std::string Indentation;
  TXMLItems& Children() { return children_; }
  TXMLItem* Parent() const { return parent_; }

 private:
  void RenderInto(std::string& out);

  std::string name_;
  std::string attributes_;
  TXMLItems children_;
  TXMLItem* parent_;
};

// An attribute value: every character with code 0-31 or 127-255 and each of " & ' < > as
// "&#" + its three-digit code + ";". Codes that XML 1.0 cannot carry at all (the control
// characters other than tab, line feed and carriage return) are written as "?" (&#063;), so
// every reader can parse the result.
std::string EscapeXMLAttribute(std::string_view value);
