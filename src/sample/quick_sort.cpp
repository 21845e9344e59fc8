// Partition-exchange sort with the first record of each range as pivot.
#include "sample/internal/sort.h"

namespace mensora {
namespace internal {

// Recurses into the smaller part and loops over the larger one, so the depth
// stays below log2(n) even where every partition is one-sided (sorted or
// all-equal input). The parts are disjoint, so the order in which they are
// sorted does not change the result.
void QuickSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) {
  std::int64_t left = lLeft;
  std::int64_t right = lRight;
  while (left < right) {
    const ORDER_DATA pivot = records[left];
    std::int64_t i = left;
    std::int64_t j = right;
    while (i < j) {
      while (i < j && !(pivot.dValue > records[j].dValue)) --j;
      if (i < j) records[i++] = records[j];
      while (i < j && !(records[i].dValue >= pivot.dValue)) ++i;
      if (i < j) records[j--] = records[i];
    }
    records[i] = pivot;
    if (i - left < right - i) {
      if (left < i - 1) {
        QuickSortRecords(records, static_cast<std::int32_t>(left), static_cast<std::int32_t>(i - 1));
      }
      left = i + 1;
    } else {
      if (i + 1 < right) {
        QuickSortRecords(records, static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(right));
      }
      right = i - 1;
    }
  }
}

}  // namespace internal
}  // namespace mensora
