// The values of the sorted view that are not NaN, in ascending order: the
// sample over which the quantile and natural-breaks classes are formed.
//
// Both methods place their breaks on values of that sample, break[k] being
// its largest value, and close the last class (it also takes the values
// equal to break[k], whatever the last entry of the view), so every value
// that is not NaN is in exactly one class and NaN values are in none. With
// no value but NaN every break is NaN and every class empty.
#ifndef MENSORA_CLASSIFY_INTERNAL_SORTED_NUMBERS_H
#define MENSORA_CLASSIFY_INTERNAL_SORTED_NUMBERS_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

// The checks of a class method with a class count k, which need no data: a
// sample of at least one value, k classes the result can carry, and all four
// out-pointers.
inline bool AcceptsClassCall(const double* data, std::int32_t n, std::int32_t k,
                             const ClassOutputs& out) {
  return data != nullptr && n > 0 && ValidClassCount(k) && out.Complete();
}

struct SortedNumbers {
  std::unique_ptr<double[]> values;
  std::int32_t count = 0;
};

// Copies the values of view[0..n-1] that are not NaN, ascending, with every
// zero written as +0 (so -0 and +0 in any input order give the same copy).
// The quicksort leaves them ascending around its NaNs; the exchange sort can
// leave them out of order there, and they are then sorted here. False when
// there is no view or the copy cannot be allocated.
inline bool CollectSortedNumbers(const ORDER_DATA* view, std::int32_t n,
                                 SortedNumbers& numbers) noexcept {
  if (view == nullptr || n <= 0) return false;
  std::int32_t m = 0;
  for (std::int32_t e = 0; e < n; ++e) {
    if (!std::isnan(view[e].dValue)) ++m;
  }
  double* values = NewArray<double>(m);
  if (values == nullptr) return false;
  numbers.values.reset(values);
  numbers.count = m;

  bool ascending = true;
  std::int32_t i = 0;
  for (std::int32_t e = 0; e < n; ++e) {
    double value = view[e].dValue;
    if (std::isnan(value)) continue;
    if (value == 0.0) value = 0.0;
    if (i > 0 && value < values[i - 1]) ascending = false;
    // m values are not NaN, so exactly m are written.
    values[i++] = value;  // NOLINT(clang-analyzer-cplusplus.NewDelete)
  }
  if (!ascending) std::sort(values, values + m);
  return true;
}

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_SORTED_NUMBERS_H
