// Round-number breaks. The constants are those of R's pretty() with its
// default arguments: high.u.bias 1.5, u5.bias 2.75, shrink.sml 0.75,
// min.n = n %/% 3, f.min 2^-20, no eps correction.
#include "classify/internal/pretty_breaks.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace mensora {
namespace internal {

namespace {

constexpr double kHighBias = 1.5;
constexpr double kFiveBias = 0.5 + 1.5 * kHighBias;
constexpr double kShrink = 0.75;
constexpr double kRoundingEps = 1e-10;
// Cells are kept between 2^-20 times the smallest normal double and the
// largest double over 1.25.
constexpr double kLeastCell = 0x1p-20 * DBL_MIN;
constexpr double kGreatestCell = DBL_MAX / 1.25;
// The loops that settle the outer steps move them by one at a time, by far
// less than this in every range of doubles; the bound only guarantees the end.
constexpr int kMaxMoves = 64;

// The round unit nearest the cell: 1, 2, 5 or 10 times the power of ten at
// or below it, favouring the larger units.
double RoundUnit(double cell) {
  const double base = std::pow(10.0, std::floor(std::log10(cell)));
  double unit = base;
  if (2 * base - cell < kHighBias * (cell - unit)) {
    unit = 2 * base;
    if (5 * base - cell < kFiveBias * (cell - unit)) {
      unit = 5 * base;
      if (10 * base - cell < kHighBias * (cell - unit)) unit = 10 * base;
    }
  }
  return unit;
}

}  // namespace

PrettyScale ChoosePrettyScale(double lo, double up, std::int32_t wanted) noexcept {
  const std::int32_t minSteps = wanted / 3;
  const double dx = up - lo;
  // A range that is small beside its values (or one value) takes a cell from
  // the size of the values; any other the range over the wanted steps.
  double cell = 1.0;
  bool small = true;
  if (!(dx == 0 && up == 0)) {
    cell = std::max(std::fabs(lo), std::fabs(up));
    const double bound = (1 + 1 / (1 + kHighBias)) * (std::max(1, wanted) * DBL_EPSILON);
    small = dx < cell * bound * 3;
  }
  if (small) {
    if (cell > 10) cell = 9 + cell / 10;
    cell *= kShrink;
    if (minSteps > 1) cell /= minSteps;
  } else if (wanted > 1) {
    // A range beyond the largest double is split without forming it.
    cell = std::isfinite(dx) ? dx / wanted : up / wanted - lo / wanted;
  } else {
    cell = dx;
  }
  cell = std::min(std::max(cell, kLeastCell), kGreatestCell);
  const double unit = RoundUnit(cell);

  // The outer steps: the multiples of the unit at or just beyond the range
  // (within 1e-10 units), and finite.
  double ns = std::floor(lo / unit + kRoundingEps);
  double nu = std::ceil(up / unit - kRoundingEps);
  for (int i = 0; i < kMaxMoves && ns * unit > lo + kRoundingEps * unit; ++i) --ns;
  for (int i = 0; i < kMaxMoves && !std::isfinite(ns * unit); ++i) ++ns;
  for (int i = 0; i < kMaxMoves && nu * unit < up - kRoundingEps * unit; ++i) ++nu;
  for (int i = 0; i < kMaxMoves && !std::isfinite(nu * unit); ++i) --nu;

  const double rounded = 0.5 + nu - ns;
  auto steps = static_cast<std::int64_t>(std::min(rounded, 0x1p62));
  if (steps < minSteps) {
    // Widened to the least number of steps, more of them away from zero.
    const std::int64_t more = minSteps - steps;
    const std::int64_t halfSteps = more / 2;
    const auto half = static_cast<double>(halfSteps);
    const auto rest = static_cast<double>(halfSteps + more % 2);
    if (ns >= 0.) {
      nu += half;
      ns -= rest;
    } else {
      ns -= half;
      nu += rest;
    }
    steps = minSteps;
    // Near the largest double the widened steps are moved inward instead of
    // beyond it, to the outermost multiple of the unit that is finite.
    const double top = std::floor(DBL_MAX / unit) + 1;
    if (!std::isfinite(nu * unit)) {
      ns -= nu - top;
      nu = top;
      for (int i = 0; i < kMaxMoves && !std::isfinite(nu * unit); ++i) {
        --nu;
        --ns;
      }
    }
    if (!std::isfinite(ns * unit)) {
      nu += -top - ns;
      ns = -top;
      for (int i = 0; i < kMaxMoves && !std::isfinite(ns * unit); ++i) {
        ++ns;
        ++nu;
      }
    }
  }
  return PrettyScale{ns * unit < lo ? ns * unit : lo, nu * unit > up ? nu * unit : up, steps};
}

void FillPrettyBreaks(const PrettyScale& scale, double* breaks) noexcept {
  const double low = scale.low;
  const double high = scale.high;
  const std::int64_t steps = scale.steps;
  breaks[0] = low;
  if (steps == 0) {
    breaks[1] = high;
    return;
  }
  breaks[steps] = high;
  const auto count = static_cast<double>(steps);
  const double by = (high - low) / count;
  if (std::isfinite(by)) {
    for (std::int64_t i = 1; i < steps; ++i) breaks[i] = low + static_cast<double>(i) * by;
  } else {
    // The range exceeds the largest double: the step is formed from the
    // divided ends and the breaks at half scale.
    const double halfBy = (high / count - low / count) / 2;
    for (std::int64_t i = 1; i < steps; ++i) {
      breaks[i] = (low / 2 + static_cast<double>(i) * halfBy) * 2;
    }
  }
  // Rounding leaves a step near zero a tiny distance off it: such a value is
  // zero.
  const double delta = high / count - low / count;
  for (std::int64_t i = 0; i <= steps; ++i) {
    if (std::fabs(breaks[i]) < 1e-14 * delta) breaks[i] = 0;
  }
}

}  // namespace internal
}  // namespace mensora
