// Octree colour quantisation: the palette of at most 256 colours a screenshot is stored with.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct TPaletteColor {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const TPaletteColor&, const TPaletteColor&) = default;
};
static_assert(sizeof(TPaletteColor) == 3, "PLTE entries are three bytes");
using TPalette = std::array<TPaletteColor, 256>;

// Colours go into a tree of depth 8 (child index red bit * 4 + green bit * 2 + blue bit, from
// the top bit down); whenever more than 256 leaves exist after a colour, the first node of the
// deepest non-empty level list (7 down to 1) takes in its children and becomes a leaf.
class TOctreeQuantizer {
 public:
  TOctreeQuantizer();
  void AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  int LeafCount() const { return leafCount_; }
  // The leaves in depth-first order, children in index order, each the mean of its colours
  // (sums divided by the pixel count, truncated); the entries after the last leaf are black.
  TPalette Palette() const;

 private:
  struct Node {
    std::int32_t child[8];
    std::int32_t nextReducible = -1;
    bool leaf = false;
    std::uint64_t pixels = 0, red = 0, green = 0, blue = 0;
  };
  std::int32_t NewNode(int level);
  void Reduce();

  std::vector<Node> nodes_;
  std::vector<std::int32_t> free_;
  std::array<std::int32_t, 8> reducible_;
  int leafCount_ = 0;
  // The leaf each recent colour reached, so repeated colours skip the walk down. A reduction
  // frees leaves: it starts a new generation, which empties the table at once.
  struct CacheSlot {
    std::uint32_t color = 0xFFFFFFFF;
    std::uint32_t generation = 0;
    std::int32_t leaf = -1;
  };
  std::vector<CacheSlot> cache_;
  std::uint32_t generation_ = 1;
};
