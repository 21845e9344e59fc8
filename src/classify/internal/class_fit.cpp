// Goodness of fit of a classification.
#include "classify/internal/class_fit.h"

#include <cmath>
#include <limits>

namespace mensora {
namespace internal {

namespace {

// 1 - part / whole, and 1 where the whole is 0.
double ShareExplained(double part, double whole) { return whole == 0.0 ? 1.0 : 1.0 - part / whole; }

}  // namespace

// Three passes over the values where the sums need five: the sum of all
// values runs beside each class's sum and absolute deviations from its
// median, and each class's deviations from its mean follow its sums. Every
// sum adds its terms in the order of the values, as five separate passes
// would: the sums are independent, so the additions of one never wait for
// those of another.
ClassFit MeasureClassFit(const double* values, const std::int32_t* counts,
                         std::int32_t k) noexcept {
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];
  ClassFit fit{0.0, 0.0, std::numeric_limits<double>::quiet_NaN(), 0.0,
               std::numeric_limits<double>::quiet_NaN()};
  if (total == 0) return fit;

  const double shift = values[total / 2];
  double allSum = 0.0;
  double classAbsolute = 0.0;
  std::int64_t start = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    const std::int64_t count = counts[s];
    if (count == 0) continue;
    const double* members = values + start;
    const double median = members[(count - 1) / 2];
    double sum = 0.0;
    for (std::int64_t i = 0; i < count; ++i) {
      allSum += members[i] - shift;
      sum += members[i] - median;
      fit.adcm += std::fabs(members[i] - median);
    }
    const double mean = sum / static_cast<double>(count);
    double squares = 0.0;
    double absolute = 0.0;
    for (std::int64_t i = 0; i < count; ++i) {
      const double deviation = (members[i] - median) - mean;
      squares += deviation * deviation;
      absolute += std::fabs(deviation);
    }
    fit.sdcm += squares;
    classAbsolute += absolute;
    start += count;
  }
  const double mean = allSum / static_cast<double>(total);
  double squares = 0.0;
  double absolute = 0.0;
  for (std::int64_t i = 0; i < total; ++i) {
    const double deviation = (values[i] - shift) - mean;
    squares += deviation * deviation;
    absolute += std::fabs(deviation);
  }
  fit.sdam = squares;
  fit.gvf = ShareExplained(fit.sdcm, fit.sdam);
  fit.tai = ShareExplained(classAbsolute, absolute);
  return fit;
}

}  // namespace internal
}  // namespace mensora
