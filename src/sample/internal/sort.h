// The two sorts of the sorted view and the gap search over it. They work only
// on the records they are given.
#ifndef MENSORA_SAMPLE_INTERNAL_SORT_H
#define MENSORA_SAMPLE_INTERNAL_SORT_H

#include <cstdint>

#include "Mensora.h"

namespace mensora {
namespace internal {

// Partition-exchange sort of records lLeft..lRight (both included) with the
// first record of each range as pivot; records equal to the pivot end up on
// its right. Runs in O(n log^2 n) with working memory, in place otherwise.
void QuickSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept;

// Exchange sort of records lLeft..lRight: for each i, every later record that
// is not at least record i is exchanged with it. O(n log n) with working
// memory, in place otherwise.
void BubbleSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept;

// Ranges of fewer records than this are always sorted step by step.
constexpr std::int64_t kSmallRange = 64;

// The same two sorts step by step, in place, without working memory.
void QuickSortInPlace(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept;
void BubbleSortInPlace(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept;

// Index k with value[k] < dData < value[k + 1] in records 0..lNum-1, or -1.
std::int32_t FindGap(const ORDER_DATA* records, double dData, std::int32_t lNum);

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_SAMPLE_INTERNAL_SORT_H
