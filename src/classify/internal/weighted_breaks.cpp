// Weighted points: their order, their distinct values, and equal-weight
// breaks in exact arithmetic.
#include "classify/internal/weighted_breaks.h"

#include <algorithm>
#include <cmath>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

// A non-negative integer of a fixed number of 32-bit limbs, least
// significant first; the caller sizes it for every value it will hold.
class Wide {
 public:
  bool Allocate(std::int32_t limbs) noexcept {
    if (!limbs_.Allocate(limbs)) return false;
    size_ = limbs;
    std::fill(limbs_.get(), limbs_.get() + limbs, 0U);
    return true;
  }

  // Adds value * 2^bit.
  void AddAt(std::uint64_t value, std::int32_t bit) noexcept {
    const std::int32_t at = bit / 32;
    const int offset = bit % 32;
    const std::uint64_t low = value << offset;
    const std::uint64_t parts[3] = {low & 0xffffffffU, low >> 32,
                                    offset == 0 ? 0 : value >> (64 - offset)};
    std::uint64_t carry = 0;
    for (std::int32_t j = 0; at + j < size_ && (j < 3 || carry != 0); ++j) {
      const std::uint64_t sum = limbs_[at + j] + (j < 3 ? parts[j] : 0) + carry;
      limbs_[at + j] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
  }

  void Add(const Wide& other) noexcept {
    std::uint64_t carry = 0;
    for (std::int32_t j = 0; j < size_; ++j) {
      const std::uint64_t sum = std::uint64_t{limbs_[j]} + other.limbs_[j] + carry;
      limbs_[j] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
  }

  bool Greater(const Wide& other) const noexcept {
    for (std::int32_t j = size_ - 1; j >= 0; --j) {
      if (limbs_[j] != other.limbs_[j]) return limbs_[j] > other.limbs_[j];
    }
    return false;
  }

 private:
  WorkArray<std::uint32_t> limbs_;
  std::int32_t size_ = 0;
};

// A positive finite weight as mantissa * 2^exponent, the mantissa a whole
// number below 2^53.
struct Digits {
  std::uint64_t mantissa;
  int exponent;
};

Digits WeightDigits(double weight) {
  int exponent = 0;
  const double fraction = std::frexp(weight, &exponent);
  return Digits{static_cast<std::uint64_t>(std::ldexp(fraction, 53)), exponent - 53};
}

}  // namespace

void SortPoints(WeightedPoint* points, std::int32_t m) noexcept {
  for (std::int32_t i = 0; i < m; ++i) {
    if (points[i].value == 0.0) points[i].value = 0.0;
  }
  const auto before = [](const WeightedPoint& a, const WeightedPoint& b) {
    return a.value < b.value || (a.value == b.value && a.weight < b.weight);
  };
  // Points collected in order (distinct values with their counts) need no sort.
  if (!std::is_sorted(points, points + m, before)) std::sort(points, points + m, before);
}

std::int32_t CollapseWeighted(const WeightedPoint* points, std::int32_t m, double* values,
                              double* weights) noexcept {
  double largest = 0.0;
  for (std::int32_t i = 0; i < m; ++i) largest = std::max(largest, points[i].weight);
  int exponent = 0;
  std::frexp(largest, &exponent);
  const int scale = exponent > 500 || exponent < -500 ? -exponent : 0;

  std::int32_t d = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    const double weight = std::ldexp(points[i].weight, scale);
    if (d > 0 && points[i].value == values[d - 1]) {
      weights[d - 1] += weight;
    } else {
      values[d] = points[i].value;
      weights[d] = weight;
      ++d;
    }
  }

  // Every partial sum of the kept weights lies below 2^e, the power of two
  // above the total, where a weight of at least 2^(e-53) always counts.
  double total = 0.0;
  for (std::int32_t j = 0; j < d; ++j) total += weights[j];
  std::frexp(total, &exponent);
  const double least = std::ldexp(1.0, exponent - 53);
  std::int32_t kept = 0;
  for (std::int32_t j = 0; j < d; ++j) {
    if (weights[j] < least) continue;
    values[kept] = values[j];
    weights[kept] = weights[j];
    ++kept;
  }
  return kept;
}

bool WeightedQuantileBreaks(const WeightedPoint* points, std::int32_t m, std::int32_t k,
                            double* breaks) noexcept {
  // Every weight is a whole multiple of 2^low; the largest has its top digit
  // below 2^(high + 53).
  int low = 0, high = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    const Digits digits = WeightDigits(points[i].weight);
    low = i == 0 ? digits.exponent : std::min(low, digits.exponent);
    high = i == 0 ? digits.exponent : std::max(high, digits.exponent);
  }
  // In units of 2^low: the total W stays below 2^(high - low + 84) for up to
  // 2^31 points, and W * k below 2^(high - low + 115).
  const std::int32_t limbs = (high - low) / 32 + 6;
  Wide total, cumulative, threshold;
  if (!total.Allocate(limbs) || !cumulative.Allocate(limbs) || !threshold.Allocate(limbs)) {
    return false;
  }
  const auto addTimesK = [low, k](Wide& sum, const WeightedPoint& point) {
    const Digits digits = WeightDigits(point.weight);
    const std::int32_t bit = digits.exponent - low;
    const auto times = static_cast<std::uint64_t>(k);
    sum.AddAt((digits.mantissa & 0xffffffffU) * times, bit);
    sum.AddAt((digits.mantissa >> 32) * times, bit + 32);
  };
  for (std::int32_t i = 0; i < m; ++i) {
    const Digits digits = WeightDigits(points[i].weight);
    total.AddAt(digits.mantissa, digits.exponent - low);
  }

  // cumulative = k * (weight of points 0..i), threshold = s * W: break s is
  // the first point at which the first exceeds the second.
  std::int32_t i = 0;
  addTimesK(cumulative, points[0]);
  for (std::int32_t s = 0; s < k; ++s) {
    while (!cumulative.Greater(threshold) && i < m - 1) addTimesK(cumulative, points[++i]);
    breaks[s] = points[i].value;
    threshold.Add(total);
  }
  breaks[k] = points[m - 1].value;
  return true;
}

}  // namespace internal
}  // namespace mensora
