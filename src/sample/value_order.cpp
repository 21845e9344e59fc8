// Numbering, ranking and rearranging the records of a range for the fast sorts.
#include "sample/internal/value_order.h"

#include <algorithm>
#include <cmath>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

void SortIndexedValues(IndexedValue* items, std::int64_t count) noexcept {
  std::sort(items, items + count, [](const IndexedValue& a, const IndexedValue& b) {
    return a.value < b.value || (!(b.value < a.value) && a.index < b.index);
  });
}

bool NumberedRecords::Init(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  records_ = records;
  left_ = lLeft;
  const std::int64_t size = lRight - lLeft + 1;
  if (size > INT32_MAX) return false;
  std::int64_t nan = 0;
  for (std::int64_t p = lLeft; p <= lRight; ++p) nan += std::isnan(records[p].dValue) ? 1 : 0;
  count_ = static_cast<std::int32_t>(size - nan);
  if (nan == 0) return true;
  positions_.reset(NewArray<std::int32_t>(count_));
  if (!positions_) return false;
  std::int32_t k = 0;
  for (std::int64_t p = lLeft; p <= lRight; ++p) {
    if (!std::isnan(records[p].dValue)) positions_[k++] = static_cast<std::int32_t>(p - lLeft);
  }
  return true;
}

void NumberedRecords::Rearrange(std::int32_t* order) const noexcept {
  for (std::int32_t k = 0; k < count_; ++k) {
    if (order[k] == k) continue;
    const ORDER_DATA held = Record(k);
    std::int32_t x = k;
    for (;;) {
      const std::int32_t from = order[x];
      order[x] = x;
      if (from == k) {
        Record(x) = held;
        break;
      }
      Record(x) = Record(from);
      x = from;
    }
  }
}

bool RankValues(const NumberedRecords& range, std::int32_t* sorted, std::int32_t* first) noexcept {
  const std::int32_t n = range.Count();
  std::unique_ptr<IndexedValue[]> items(NewArray<IndexedValue>(n));
  if (!items) return false;
  for (std::int32_t k = 0; k < n; ++k) items[k] = IndexedValue{range.Record(k).dValue, k};
  SortIndexedValues(items.get(), n);
  std::int32_t start = 0;
  for (std::int32_t s = 0; s < n; ++s) {
    if (s > 0 && items[s - 1].value < items[s].value) start = s;
    sorted[s] = items[s].index;
    first[items[s].index] = start;
  }
  return true;
}

}  // namespace internal
}  // namespace mensora
