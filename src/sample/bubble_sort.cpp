// Exchange sort of the sorted view.
#include "sample/internal/sort.h"

namespace mensora {
namespace internal {

void BubbleSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) {
  for (std::int64_t i = lLeft; i <= lRight; ++i) {
    for (std::int64_t j = i + 1; j <= lRight; ++j) {
      if (!(records[j].dValue >= records[i].dValue)) {
        const ORDER_DATA held = records[i];
        records[i] = records[j];
        records[j] = held;
      }
    }
  }
}

}  // namespace internal
}  // namespace mensora
