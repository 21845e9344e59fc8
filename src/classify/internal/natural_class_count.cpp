// The class count of natural breaks chosen by the goodness of variance fit.
#include "classify/internal/natural_class_count.h"

#include <algorithm>
#include <cmath>

#include "classify/internal/class_fit.h"
#include "classify/internal/natural_breaks.h"
#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

bool FewestNaturalClasses(const double* sorted, const double* values,
                          const double* weights, std::int32_t d, std::int32_t maxClasses,
                          double minGvf, int threads, std::int32_t* starts,
                          std::int32_t& classes) noexcept {
  classes = maxClasses;
  if (d == 0) return true;
  if (std::isinf(values[0]) || std::isinf(values[d - 1])) {
    return NaturalClassStarts(values, weights, d, maxClasses, threads, starts);
  }
  // From d classes on every distinct value is a class of its own: GVF 1.
  const std::int32_t top = std::min(maxClasses, d);
  if (d <= 2) {
    classes = 2;
    for (std::int32_t s = 0; s < d; ++s) starts[s] = s;
    return true;
  }
  ClassCountLadder ladder;
  const std::int32_t solved = std::min(top, d - 1);
  WorkArray<std::int32_t> counts(top);
  if (!counts || !ladder.Solve(values, weights, d, solved, threads)) return false;

  // The partition of k classes into starts, and its GVF measured directly.
  const auto partition = [&](std::int32_t k) {
    if (k > solved) {
      for (std::int32_t s = 0; s < d; ++s) starts[s] = s;
    } else {
      ladder.Starts(k, starts);
    }
  };
  const auto gvf = [&](std::int32_t k) {
    partition(k);
    const std::int32_t c = std::min(k, d);
    for (std::int32_t s = 0; s < c; ++s) {
      const std::int32_t end = s + 1 < c ? starts[s + 1] : d;
      double count = 0.0;
      for (std::int32_t i = starts[s]; i < end; ++i) count += weights[i];
      counts[s] = static_cast<std::int32_t>(count);
    }
    return MeasureClassFit(sorted, counts.get(), c).gvf;
  };

  std::int32_t k = 2;
  const double whole = ladder.Cost(1);
  while (k < top && !(k <= solved && 1.0 - ladder.Cost(k) / whole >= minGvf)) ++k;
  while (k < top && !(gvf(k) >= minGvf)) ++k;
  while (k > 2 && gvf(k - 1) >= minGvf) --k;
  partition(k);
  classes = k;
  return true;
}

}  // namespace internal
}  // namespace mensora
