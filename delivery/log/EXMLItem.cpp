#include "delivery/log/EXMLItem.h"

TXMLItems::~TXMLItems() {
  while (!items_.empty()) items_.pop_back();
}

TXMLItem* TXMLItems::Add(std::string name) {
  items_.push_back(std::make_unique<TXMLItem>(std::move(name)));
  return items_.back().get();
}

TXMLItem* TXMLItem::AddChild(std::string name) {
  children_.items_.push_back(std::make_unique<TXMLItem>(std::move(name), this));
  return children_.items_.back().get();
}

void TXMLItem::AddAttribute(std::string_view name, std::string_view value) {
  attributes_.append(" ").append(name).append("=\"").append(EscapeXMLAttribute(value)).append("\"");
}

std::string TXMLItem::Render() {
  std::string out;
  RenderInto(out);
  return out;
}

void TXMLItem::RenderInto(std::string& out) {
  out.append(Indentation).append("<").append(name_).append(attributes_);
  if (Content.empty() && children_.items_.empty()) {
    out.append("/>\r\n");
    return;
  }
  out.append(">").append(Content);
  if (!children_.items_.empty()) {
    out.append("\r\n");
    for (const auto& child : children_.items_) {
      child->Indentation = Indentation + "  ";
      child->RenderInto(out);
    }
    out.append(Indentation);
  }
  out.append("</").append(name_).append(">\r\n");
}

std::string EscapeXMLAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    unsigned code = static_cast<unsigned char>(c);
    const bool special = c == '"' || c == '&' || c == '\'' || c == '<' || c == '>';
    if (code >= 32 && code < 127 && !special) {
      out += c;
      continue;
    }
    if (code < 32 && code != '\t' && code != '\n' && code != '\r') code = '?';
    out += "&#";
    out += static_cast<char>('0' + code / 100);
    out += static_cast<char>('0' + code / 10 % 10);
    out += static_cast<char>('0' + code % 10);
    out += ';';
  }
  return out;
}
