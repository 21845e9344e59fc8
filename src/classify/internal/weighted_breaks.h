// Class breaks of pre-aggregated data: values that each stand for a weight
// of observations.
#ifndef MENSORA_CLASSIFY_INTERNAL_WEIGHTED_BREAKS_H
#define MENSORA_CLASSIFY_INTERNAL_WEIGHTED_BREAKS_H

#include <cstdint>

namespace mensora {
namespace internal {

// One value (not NaN) and its weight (finite, > 0).
struct WeightedPoint {
  double value;
  double weight;
};

// Sorts the points by value, then by weight, after writing every zero value
// as +0: the same multiset of points in any order gives the same sequence.
void SortPoints(WeightedPoint* points, std::int32_t m) noexcept;

// The distinct values of the sorted points[0..m-1] (m >= 1) with their
// weights summed, into values and weights (m entries each); returns their
// number. Whole-number weights are summed exactly while the total stays below
// 2^53, so a count stands for that many copies of its value. Beyond that the
// weights are fitted to what the natural-breaks programme needs: when the
// largest weight lies outside [2^-500, 2^500] all are scaled by one power of
// two (which changes no partition), and a distinct value whose weight is
// below 2^-53 of the total is dropped, since the partial sums of the weights
// could not grow by it.
std::int32_t CollapseWeighted(const WeightedPoint* points, std::int32_t m, double* values,
                              double* weights) noexcept;

// The k + 1 equal-weight breaks of the sorted points[0..m-1] (m >= 1), W
// being the total weight: break[s] for s < k is the first value whose
// cumulative weight exceeds s * W / k, break[k] the largest value. Computed
// in exact integer arithmetic over the weights' binary digits, so with
// whole-number weights break[s] is the value at position floor(s * m' / k)
// of the sample in which every value is repeated weight times (m' values in
// all), however large the total. False when the working memory cannot be
// had.
bool WeightedQuantileBreaks(const WeightedPoint* points, std::int32_t m, std::int32_t k,
                            double* breaks) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_WEIGHTED_BREAKS_H
