// Occurrence counts behind the mode and the frequency-weighted mean.
#ifndef MENSORA_STATS_INTERNAL_OCCURRENCE_H
#define MENSORA_STATS_INTERNAL_OCCURRENCE_H

#include <cstdint>

namespace mensora {
namespace internal {

// counts[i] = number of positions j (i included) whose value matches values[i]:
// equal (0.0 matches -0.0) or unordered (a NaN matches every value).
void CountOccurrences(const double* values, std::int32_t n, std::int32_t* counts);

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_STATS_INTERNAL_OCCURRENCE_H
