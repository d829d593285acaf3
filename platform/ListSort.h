// Ordering helpers for list controls: a merge sort that stays in bounds and terminates with any
// three-way compare, also an inconsistent one (a user's compare event may be one).
#pragma once

#include <string_view>
#include <vector>

// Sorts `items` stably by `compare(a, b)` (negative, zero or positive). Exceptions from the
// compare propagate; the vector then keeps all its elements in some order.
template <class T, class Compare>
void MergeSortBy(std::vector<T>& items, Compare compare) {
  const size_t n = items.size();
  if (n < 2) return;
  std::vector<T> buffer(items);
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t left = 0; left < n; left += 2 * width) {
      const size_t mid = left + width < n ? left + width : n;
      const size_t right = left + 2 * width < n ? left + 2 * width : n;
      size_t a = left, b = mid, out = left;
      while (a < mid && b < right)
        buffer[out++] = compare(items[b], items[a]) < 0 ? items[b++] : items[a++];
      while (a < mid) buffer[out++] = items[a++];
      while (b < right) buffer[out++] = items[b++];
    }
    items.swap(buffer);  // every slot of buffer was written in this pass
  }
}

// Case-insensitive comparison of 8-bit text (ASCII letters folded), negative, zero or positive.
int CompareText(std::string_view a, std::string_view b);
