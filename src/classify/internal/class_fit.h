// Goodness of fit of a classification: how much of the spread of the values
// the classes account for.
#ifndef MENSORA_CLASSIFY_INTERNAL_CLASS_FIT_H
#define MENSORA_CLASSIFY_INTERNAL_CLASS_FIT_H

#include <cstdint>

namespace mensora {
namespace internal {

struct ClassFit {
  double sdam;  // squared deviations from the mean of all values
  double sdcm;  // squared deviations from the class means
  double gvf;   // 1 - sdcm / sdam
  double adcm;  // absolute deviations from the class medians
  double tai;   // 1 - (absolute deviations from the class means) / (from the mean of all)
};

// The fit of k classes over values[] grouped class by class (class s holds
// the next counts[s] values), each class ascending. Every sum runs over the
// values in that order, and each deviation is taken about a shift (the
// middle value of all, the class median within a class) before its mean is
// removed, so that equal values deviate by exactly 0. A class median is the
// lower middle value for an even count (any value between the two middle
// ones gives the same absolute deviations). GVF and TAI are 1 where there is
// no spread (a zero denominator) and NaN without any value; infinite values
// give what IEEE arithmetic gives.
ClassFit MeasureClassFit(const double* values, const std::int32_t* counts,
                         std::int32_t k) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_CLASS_FIT_H
