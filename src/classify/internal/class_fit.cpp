// Goodness of fit of a classification.
#include "classify/internal/class_fit.h"

#include <cmath>
#include <limits>

namespace mensora {
namespace internal {

namespace {

// Squared and absolute deviations of values[0..count-1], each first shifted
// by `shift`, from `mean`.
struct Spread {
  double squares = 0.0;
  double absolute = 0.0;
};

Spread SpreadAbout(const double* values, std::int64_t count, double shift, double mean) {
  Spread spread;
  for (std::int64_t i = 0; i < count; ++i) {
    const double deviation = (values[i] - shift) - mean;
    spread.squares += deviation * deviation;
    spread.absolute += std::fabs(deviation);
  }
  return spread;
}

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
    const Spread within =
        SpreadAbout(members, count, median, sum / static_cast<double>(count));
    fit.sdcm += within.squares;
    classAbsolute += within.absolute;
    start += count;
  }
  const Spread all = SpreadAbout(values, total, shift, allSum / static_cast<double>(total));
  fit.sdam = all.squares;
  fit.gvf = ShareExplained(fit.sdcm, fit.sdam);
  fit.tai = ShareExplained(classAbsolute, all.absolute);
  return fit;
}

}  // namespace internal
}  // namespace mensora
