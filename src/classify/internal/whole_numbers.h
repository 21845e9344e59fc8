// Whole-number data, for labels that name the first and last whole numbers a
// class can hold: every value that is finite is a whole number below 2^53 in
// magnitude (NaN and infinities aside).
#ifndef MENSORA_CLASSIFY_INTERNAL_WHOLE_NUMBERS_H
#define MENSORA_CLASSIFY_INTERNAL_WHOLE_NUMBERS_H

#include <cmath>
#include <cstdint>

namespace mensora {
namespace internal {

// Whether a value keeps its data from being whole numbers: finite, and with
// a fraction or 2^53 or more in magnitude. Without a branch, so that passes
// over many values run at the speed of memory: below 2^52 adding and taking
// away 2^52 rounds to a whole number; from 2^52 every double is whole.
inline bool Fractional(double value) noexcept {
  const double a = std::fabs(value);
  const double rounded = (a + 0x1p52) - 0x1p52;
  const bool whole = (a < 0x1p53) & ((a >= 0x1p52) | (rounded == a));
  return (a < HUGE_VAL) & !whole;
}

// Whether values[0..n-1] are whole-number data, tested block by block.
inline bool WholeNumbers(const double* values, std::int32_t n) noexcept {
  for (std::int32_t start = 0; start < n; start += 4096) {
    const std::int32_t end = n - start < 4096 ? n : start + 4096;
    std::int32_t fractions = 0;
    for (std::int32_t i = start; i < end; ++i) fractions += Fractional(values[i]) ? 1 : 0;
    if (fractions != 0) return false;
  }
  return true;
}

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_WHOLE_NUMBERS_H
