// Break rules over ascending values.
#include "classify/internal/break_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// A break between a < b that puts a below it and b at or above it.
double GapBreak(double a, double b) {
  double middle = (a + b) / 2;
  if (!std::isfinite(middle)) middle = a / 2 + b / 2;
  return middle > a ? middle : b;
}

// Sum of values[first..m-1] in ascending order divided by their number; where
// the sum of finite values overflows, the same at the scale 2^-64.
double MeanFrom(const double* values, std::int32_t first, std::int32_t m) {
  const auto count = static_cast<double>(m - first);
  double sum = 0.0;
  for (std::int32_t i = first; i < m; ++i) sum += values[i];
  if (std::isfinite(sum) || !std::isfinite(values[first]) || !std::isfinite(values[m - 1])) {
    return sum / count;
  }
  double scaled = 0.0;
  for (std::int32_t i = first; i < m; ++i) scaled += values[i] * 0x1p-64;
  return scaled / count * 0x1p64;
}

}  // namespace

bool AscendingWithin(const double* values, std::int32_t count, double lo, double hi) noexcept {
  if (values == nullptr || count < 2) return false;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!(values[i] >= lo && values[i] <= hi)) return false;
    if (i > 0 && values[i] < values[i - 1]) return false;
  }
  return true;
}

double Percentile(const double* values, std::int32_t m, double fraction) noexcept {
  const double index = 1 + static_cast<double>(m - 1) * fraction;
  const double lo = std::floor(index);
  const auto at = static_cast<std::int32_t>(lo) - 1;
  const double a = values[at];
  if (!(index > lo)) return a;
  const double b = values[at + 1];
  if (b == a) return a;
  const double h = index - lo;
  if (std::isinf(a) && std::isinf(b)) return h < 0.5 ? a : b;
  return std::min(std::max((1 - h) * a + h * b, a), b);
}

void BoxPlotBreaks(const double* values, std::int32_t m, double hinge, double* breaks) noexcept {
  breaks[0] = -kInf;
  breaks[6] = kInf;
  if (m == 0) {
    std::fill(breaks + 1, breaks + 6, std::numeric_limits<double>::quiet_NaN());
    return;
  }
  const double q1 = Percentile(values, m, 0.25);
  const double median = Percentile(values, m, 0.5);
  const double q3 = Percentile(values, m, 0.75);
  const double iqr = q3 == q1 ? 0.0 : q3 - q1;
  const double fence = hinge == 0.0 ? 0.0 : hinge * iqr;
  breaks[1] = q1 - fence;
  breaks[2] = q1;
  breaks[3] = std::max(median, q1);
  breaks[4] = std::max(q3, breaks[3]);
  breaks[5] = std::max(breaks[4] + fence, breaks[4]);
}

bool MaxGapBreaks(const double* values, std::int32_t d, std::int32_t k, double* breaks) noexcept {
  const std::int32_t gaps = d - 1;
  const std::int32_t chosen = std::min(gaps, k - 1);
  WorkArray<std::int32_t> order(gaps);
  if (!order) return false;
  for (std::int32_t g = 0; g < gaps; ++g) order[g] = g;
  // Widest first; the lower gap first among equal widths.
  const auto wider = [values](std::int32_t x, std::int32_t y) {
    const double wx = values[x + 1] - values[x];
    const double wy = values[y + 1] - values[y];
    return wx > wy || (wx == wy && x < y);
  };
  std::int32_t* first = order.get();
  if (chosen < gaps) std::nth_element(first, first + chosen, first + gaps, wider);
  std::sort(first, first + chosen);
  breaks[0] = values[0];
  for (std::int32_t s = 0; s < chosen; ++s) {
    breaks[s + 1] = GapBreak(values[order[s]], values[order[s] + 1]);
  }
  std::fill(breaks + chosen + 1, breaks + k + 1, values[d - 1]);
  return true;
}

void GeometricBreaks(double min, double max, std::int32_t k, double* breaks) noexcept {
  const double ratio = max / min;
  const auto count = static_cast<double>(k);
  const double r = std::pow(ratio, 1.0 / count);
  const double logMin = std::log(min);
  const double logStep = (std::log(max) - logMin) / count;
  breaks[0] = min;
  for (std::int32_t i = 1; i < k; ++i) {
    const double b = std::isfinite(ratio) ? min * std::pow(r, static_cast<double>(i))
                                          : std::exp(logMin + static_cast<double>(i) * logStep);
    breaks[i] = std::min(std::max(b, breaks[i - 1]), max);
  }
  breaks[k] = max;
}

std::int32_t HeadTailMeans(const double* values, std::int32_t m, double share,
                           double* means) noexcept {
  std::int32_t count = 0;
  std::int32_t first = 0;
  while (first < m && values[first] < values[m - 1]) {
    const double mean = MeanFrom(values, first, m);
    if (!(mean > values[first] && mean <= values[m - 1])) break;
    means[count++] = mean;
    const std::int32_t head =
        static_cast<std::int32_t>(std::upper_bound(values + first, values + m, mean) - values);
    if (!(static_cast<double>(m - head) < share * static_cast<double>(m - first))) break;
    first = head;
  }
  return count;
}

}  // namespace internal
}  // namespace mensora
