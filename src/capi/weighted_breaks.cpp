// C interface: natural and equal-count breaks of pre-aggregated data.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "capi/internal/handle.h"
#include "classify/internal/natural_breaks.h"
#include "classify/internal/weighted_breaks.h"
#include "mensora_c.h"
#include "sample/internal/alloc.h"

using mensora::capi::Fail;
using mensora::capi::Failed;
using mensora::capi::Guarded;
using mensora::internal::WeightedPoint;
using mensora::internal::WorkArray;

namespace {

// The points of the expanded sample that are not NaN, sorted: the arguments
// are checked, values with weight 0 are left out. `m` receives their number;
// a sample whose every value is NaN has none and is no error.
int CollectPoints(const double* values, const double* weights, std::int32_t n, std::int32_t k,
                  const double* breaks, WorkArray<WeightedPoint>& points, std::int32_t& m) {
  if (n < 0 || (n > 0 && (values == nullptr || weights == nullptr)) || breaks == nullptr) {
    return Fail(MENSORA_ERROR_ARGUMENT, "the values, weights or breaks are NULL or n is negative");
  }
  const int refused = mensora::capi::ClassCountRefused(k, n);
  if (refused != MENSORA_OK) return refused;
  std::int32_t numbers = 0;
  bool nan = false;
  for (std::int32_t i = 0; i < n; ++i) {
    if (!(weights[i] >= 0.0) || std::isinf(weights[i])) {
      return Fail(MENSORA_ERROR_ARGUMENT,
                  "weight %ld is %.17g: weights must be finite numbers, 0 or more",
                  static_cast<long>(i), weights[i]);
    }
    if (weights[i] == 0.0) continue;
    if (std::isnan(values[i])) {
      nan = true;
    } else {
      ++numbers;
    }
  }
  if (numbers == 0 && !nan) {
    return Fail(MENSORA_ERROR_EMPTY, "the sample has no values: no weight is above 0");
  }
  if (!points.Allocate(numbers)) return Failed(MENSORA_ERROR_MEMORY);
  m = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (weights[i] > 0.0 && !std::isnan(values[i])) points[m++] = WeightedPoint{values[i], weights[i]};
  }
  mensora::internal::SortPoints(points.get(), m);
  return MENSORA_OK;
}

// Checks the arguments and collects the points, then hands the m >= 1
// points to `breaksOf`; when every value is NaN the breaks are NaN.
template <class BreaksOf>
int WeightedBreaks(const double* values, const double* weights, std::int32_t n, std::int32_t k,
                   double* breaks, BreaksOf breaksOf) noexcept {
  return Guarded([&] {
    WorkArray<WeightedPoint> points;
    std::int32_t m = 0;
    const int status = CollectPoints(values, weights, n, k, breaks, points, m);
    if (status != MENSORA_OK) return status;
    if (m == 0) {
      std::fill(breaks, breaks + k + 1, std::numeric_limits<double>::quiet_NaN());
      return MENSORA_OK;
    }
    return breaksOf(points.get(), m);
  });
}

}  // namespace

extern "C" {

int mensora_natural_breaks_weighted(const double* values, const double* weights, int32_t n,
                                    int32_t k, double* breaks) {
  return WeightedBreaks(values, weights, n, k, breaks, [&](WeightedPoint* points, std::int32_t m) {
    WorkArray<double> distinct(m), sums(m);
    if (!distinct || !sums) return Failed(MENSORA_ERROR_MEMORY);
    const std::int32_t d =
        mensora::internal::CollapseWeighted(points, m, distinct.get(), sums.get());
    WorkArray<std::int32_t> starts(std::min(k, d));
    if (!starts || !mensora::internal::NaturalClassStarts(
                       distinct.get(), sums.get(), d, k,
                       mensora::internal::NaturalBreaksThreads(d), starts.get())) {
      return Failed(MENSORA_ERROR_MEMORY);
    }
    mensora::internal::FillNaturalBreaks(distinct.get(), d, starts.get(), k, breaks);
    return MENSORA_OK;
  });
}

int mensora_quantile_breaks_weighted(const double* values, const double* weights, int32_t n,
                                     int32_t k, double* breaks) {
  return WeightedBreaks(values, weights, n, k, breaks, [&](WeightedPoint* points, std::int32_t m) {
    return mensora::internal::WeightedQuantileBreaks(points, m, k, breaks)
               ? MENSORA_OK
               : Failed(MENSORA_ERROR_MEMORY);
  });
}

}  // extern "C"
