// Occurrence counts: the count of a value is the number of values equal to it
// (0.0 equals -0.0) plus the number of NaNs, which match every value; the
// count of a NaN is n. Sorting the values gives every count in O(n log n);
// when the working memory cannot be had, every value is compared with every
// value.
#include "stats/internal/occurrence.h"

#include <algorithm>
#include <cmath>

#include "sample/internal/alloc.h"
#include "sample/internal/sort.h"
#include "sample/internal/value_order.h"

namespace mensora {
namespace internal {

namespace {

void CountByComparison(const double* values, std::int32_t n, std::int32_t* counts) {
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t count = 0;
    for (std::int32_t j = 0; j < n; ++j) {
      if (!(values[j] < values[i]) && !(values[j] > values[i])) ++count;
    }
    counts[i] = count;
  }
}

}  // namespace

void CountOccurrences(const double* values, std::int32_t n, std::int32_t* counts) {
  // A small sample is counted directly: the working memory would cost more.
  WorkArray<KeyedItem> items;
  if (n < kSmallRange || !items.Allocate(n)) {
    CountByComparison(values, n, counts);
    return;
  }
  std::int32_t m = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (std::isnan(values[i])) {
      counts[i] = n;
    } else {
      items[m++] = KeyedItem{OrderKey(values[i]), i};
    }
  }
  const std::int32_t nan = n - m;
  SortItems(items.get(), m);
  for (std::int32_t first = 0; first < m;) {
    std::int32_t end = first + 1;
    while (end < m && items[end].key == items[first].key) ++end;
    for (std::int32_t s = first; s < end; ++s) counts[items[s].index] = end - first + nan;
    first = end;
  }
}

}  // namespace internal
}  // namespace mensora
