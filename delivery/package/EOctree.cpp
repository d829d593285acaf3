#include "delivery/package/EOctree.h"

namespace {
constexpr int TreeDepth = 8;
constexpr int MaxColors = 256;
constexpr std::size_t CacheSize = 4096;
}  // namespace

TOctreeQuantizer::TOctreeQuantizer() : cache_(CacheSize) {
  reducible_.fill(-1);
  NewNode(0);
}

std::int32_t TOctreeQuantizer::NewNode(int level) {
  std::int32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
    nodes_[static_cast<std::size_t>(index)] = Node{};
  } else {
    index = static_cast<std::int32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  Node& node = nodes_[static_cast<std::size_t>(index)];
  for (std::int32_t& c : node.child) c = -1;
  if (level == TreeDepth) {
    node.leaf = true;
    ++leafCount_;
  } else {
    node.nextReducible = reducible_[static_cast<std::size_t>(level)];
    reducible_[static_cast<std::size_t>(level)] = index;
  }
  return index;
}

void TOctreeQuantizer::AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const std::uint32_t color = static_cast<std::uint32_t>(red) << 16 | green << 8 | blue;
  CacheSlot& slot = cache_[((color * 2654435761u) >> 20) & (CacheSize - 1)];
  std::int32_t index = 0;
  if (slot.color == color && slot.generation == generation_) {
    index = slot.leaf;
  } else {
    for (int level = 0; !nodes_[static_cast<std::size_t>(index)].leaf; ++level) {
      const int shift = 7 - level;
      const int mask = 0x80 >> level;
      const int child =
          ((red & mask) >> shift) * 4 + ((green & mask) >> shift) * 2 + ((blue & mask) >> shift);
      std::int32_t next = nodes_[static_cast<std::size_t>(index)].child[child];
      if (next < 0) {
        next = NewNode(level + 1);  // may move nodes_: index the vector again afterwards
        nodes_[static_cast<std::size_t>(index)].child[child] = next;
      }
      index = next;
    }
    slot = {color, generation_, index};
  }
  Node& leaf = nodes_[static_cast<std::size_t>(index)];
  ++leaf.pixels;
  leaf.red += red;
  leaf.green += green;
  leaf.blue += blue;
  while (leafCount_ > MaxColors) Reduce();
}

void TOctreeQuantizer::Reduce() {
  int level = TreeDepth - 1;
  while (level > 0 && reducible_[static_cast<std::size_t>(level)] < 0) --level;
  const std::int32_t index = reducible_[static_cast<std::size_t>(level)];
  Node& node = nodes_[static_cast<std::size_t>(index)];
  reducible_[static_cast<std::size_t>(level)] = node.nextReducible;
  int children = 0;
  for (std::int32_t& c : node.child) {
    if (c < 0) continue;
    // Children of the deepest reducible level are always leaves, so none has children.
    const Node& child = nodes_[static_cast<std::size_t>(c)];
    node.pixels += child.pixels;
    node.red += child.red;
    node.green += child.green;
    node.blue += child.blue;
    free_.push_back(c);
    c = -1;
    ++children;
  }
  node.leaf = true;
  leafCount_ -= children - 1;
  ++generation_;
}

TPalette TOctreeQuantizer::Palette() const {
  TPalette palette{};
  std::size_t used = 0;
  // Depth-first with an explicit stack; children pushed in reverse so index 0 comes out first.
  std::vector<std::int32_t> stack = {0};
  while (!stack.empty() && used < palette.size()) {
    const Node& node = nodes_[static_cast<std::size_t>(stack.back())];
    stack.pop_back();
    if (node.leaf) {
      if (node.pixels == 0) continue;
      palette[used++] = {static_cast<std::uint8_t>(node.red / node.pixels),
                         static_cast<std::uint8_t>(node.green / node.pixels),
                         static_cast<std::uint8_t>(node.blue / node.pixels)};
      continue;
    }
    for (int c = 7; c >= 0; --c)
      if (node.child[c] >= 0) stack.push_back(node.child[c]);
  }
  return palette;
}
