#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/ListSort.h"

namespace {

struct Row {
  int offset;
  std::string caption;
  int id;
};

// The zone list's order: offset, then caption case-insensitively.
int ByOffsetThenCaption(const Row& a, const Row& b) {
  if (a.offset != b.offset) return a.offset < b.offset ? -1 : 1;
  return CompareText(a.caption, b.caption);
}

TEST(ListSort, SortsByTheThreeWayCompareAndKeepsEqualRowsInOrder) {
  std::vector<Row> rows = {{60, "+01:00", 0}, {-300, "-05:00", 1}, {0, "", 2},
                           {60, "", 3},       {0, "", 4},          {-300, "-05:00", 5},
                           {60, "+01:00", 6}, {330, "+05:30", 7}};
  MergeSortBy(rows, ByOffsetThenCaption);
  std::vector<int> ids;
  for (const Row& r : rows) ids.push_back(r.id);
  EXPECT_EQ(ids, (std::vector<int>{1, 5, 2, 4, 3, 0, 6, 7}));
}

TEST(ListSort, SortsEveryLengthLikeAStableSort) {
  std::mt19937 random(7);
  for (int n = 0; n < 70; ++n) {
    std::vector<std::pair<int, int>> items;
    for (int k = 0; k < n; ++k) items.push_back({static_cast<int>(random() % 5), k});
    auto expected = items;
    std::stable_sort(expected.begin(), expected.end(),
                     [](auto& a, auto& b) { return a.first < b.first; });
    MergeSortBy(items, [](auto& a, auto& b) { return a.first - b.first; });
    EXPECT_EQ(items, expected) << n;
  }
}

TEST(ListSort, AnInconsistentCompareStillLeavesEveryElement) {
  std::mt19937 random(11);
  std::vector<int> items(257);
  for (int k = 0; k < 257; ++k) items[k] = k;
  MergeSortBy(items, [&](int, int) { return static_cast<int>(random() % 3) - 1; });
  std::sort(items.begin(), items.end());
  for (int k = 0; k < 257; ++k) ASSERT_EQ(items[k], k);
}

TEST(ListSort, AThrowingCompareLeavesEveryElement) {
  std::vector<int> items = {5, 4, 3, 2, 1, 0, 9, 8, 7, 6};
  int calls = 0;
  EXPECT_THROW(MergeSortBy(items,
                           [&](int a, int b) {
                             if (++calls == 12) throw std::runtime_error("compare failed");
                             return a - b;
                           }),
               std::runtime_error);
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(ListSort, CompareTextIgnoresTheCaseOfLetters) {
  EXPECT_EQ(CompareText("Abc", "aBC"), 0);
  EXPECT_LT(CompareText("", "+01:00"), 0);
  EXPECT_GT(CompareText("-05:00", ""), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_LT(CompareText("+01:00", "+05:30"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
}

}  // namespace
