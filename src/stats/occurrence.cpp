// Occurrence counts by direct comparison of every value with every value.
#include "stats/internal/occurrence.h"

namespace mensora {
namespace internal {

void CountOccurrences(const double* values, std::int32_t n, std::int32_t* counts) {
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t count = 0;
    for (std::int32_t j = 0; j < n; ++j) {
      if (!(values[j] < values[i]) && !(values[j] > values[i])) ++count;
    }
    counts[i] = count;
  }
}

}  // namespace internal
}  // namespace mensora
