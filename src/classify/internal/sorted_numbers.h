// The values of the sorted view that are not NaN, in ascending order: the
// sample over which the quantile, natural-breaks and the other range classes
// beyond the equal-interval ones are formed.
//
// These methods close the last class exactly at its upper break (it also
// takes the values equal to break[k], whatever the last entry of the view),
// so where break[0] is at most the smallest value and break[k] at least the
// largest, every value that is not NaN is in exactly one class and NaN
// values are in none. With no value but NaN the breaks taken from values are
// NaN and every class empty.
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
  OwnedArray<double> values;
  std::int32_t count = 0;
  double* spare = nullptr;  // count more doubles after the values, when asked for
};

// Copies the values of view[0..n-1] that are not NaN, ascending, with every
// zero written as +0 (so -0 and +0 in any input order give the same copy).
// The quicksort leaves them ascending around its NaNs; the exchange sort can
// leave them out of order there, and they are then sorted here. With spare,
// the same array holds as many doubles more for the caller (one allocation
// fewer for a small call). False when there is no view or the copy cannot be
// allocated.
inline bool CollectSortedNumbers(const ORDER_DATA* view, std::int32_t n, SortedNumbers& numbers,
                                 bool spare = false) noexcept {
  if (view == nullptr || n <= 0) return false;
  std::int32_t m = 0;
  for (std::int32_t e = 0; e < n; ++e) {
    if (!std::isnan(view[e].dValue)) ++m;
  }
  double* values = NewArray<double>(spare ? std::int64_t{2} * m : m);
  if (values == nullptr) return false;
  numbers.values.reset(values);
  numbers.count = m;
  numbers.spare = spare ? values + m : nullptr;

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

// Replaces the range-class breaks (buffers.breaks) by a copy of breaks[0..k]
// (which must not be that buffer) and completes the class result with the
// last class closed. -1 when an allocation fails, as CompleteClassResult.
inline std::int32_t CompleteClosedClasses(const ORDER_DATA* view, std::int32_t n,
                                          const double* breaks, std::int32_t k,
                                          const ClassBuffers& buffers,
                                          const ClassOutputs& out) noexcept {
  double* copy = ReplaceArray(buffers.breaks, static_cast<std::int64_t>(k) + 1);
  if (copy == nullptr) return -1;
  std::copy(breaks, breaks + k + 1, copy);
  return CompleteClassResult(view, n, k, buffers, LastClass::kClosed, nullptr, out);
}

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_SORTED_NUMBERS_H
