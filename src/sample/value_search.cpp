// Binary search for the gap between two records that holds a value.
#include "sample/internal/sort.h"

namespace mensora {
namespace internal {

// A value equal to a record's value, below the first value or above the last
// value lies in no gap: -1.
std::int32_t FindGap(const ORDER_DATA* records, double dData, std::int32_t lNum) {
  std::int64_t lo = 0;
  std::int64_t hi = static_cast<std::int64_t>(lNum) - 1;
  while (lo <= hi) {
    const std::int64_t mid = (lo + hi) / 2;
    if (mid > 0 && !(records[mid - 1].dValue >= dData) && records[mid].dValue > dData) {
      return static_cast<std::int32_t>(mid - 1);
    }
    if (mid + 1 < lNum && !(records[mid].dValue >= dData) && records[mid + 1].dValue > dData) {
      return static_cast<std::int32_t>(mid);
    }
    if (!(records[mid].dValue >= dData)) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return -1;
}

}  // namespace internal
}  // namespace mensora
