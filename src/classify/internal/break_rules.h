// Break rules over the ascending values that are not NaN (see
// sorted_numbers.h): percentiles, box-plot fences, maximum gaps, a geometric
// progression and head/tail means. Each writes break values only; the class
// result is collected from them as for every other class method.
#ifndef MENSORA_CLASSIFY_INTERNAL_BREAK_RULES_H
#define MENSORA_CLASSIFY_INTERNAL_BREAK_RULES_H

#include <cstdint>

namespace mensora {
namespace internal {

// Whether values[0..count-1] are count >= 2 values, each within [lo, hi]
// (so not NaN), never descending: the breaks or percentiles a caller may name.
bool AscendingWithin(const double* values, std::int32_t count, double lo, double hi) noexcept;

// The quantile of ascending values[0..m-1] (m >= 1) at 0 <= fraction <= 1,
// by linear interpolation between the order statistics around position
// (m - 1) * fraction (R's quantile type 7, numpy's default): with
// index = 1 + (m - 1) * fraction, lo = floor(index) and h = index - lo, the
// value (1 - h) * x[lo] + h * x[lo + 1] (1-based), or x[lo] itself when h is
// 0 or both statistics are equal. The result never leaves [x[lo], x[lo + 1]];
// between -inf and +inf it is -inf below the middle and +inf from it.
double Percentile(const double* values, std::int32_t m, double fraction) noexcept;

// The seven box-plot breaks -inf, q1 - h * iqr, q1, median, q3, q3 + h * iqr,
// +inf of ascending values[0..m-1] with quartiles by Percentile, the
// interquartile range iqr = q3 - q1 (0 when q1 = q3, infinities included)
// and the hinge h >= 0 (h * iqr is 0 when h is 0). With m = 0 the five inner
// breaks are NaN.
void BoxPlotBreaks(const double* values, std::int32_t m, double hinge, double* breaks) noexcept;

// k + 1 breaks between the distinct ascending values[0..d-1] (d >= 1): the
// smallest value, a break in each of the k - 1 widest gaps between
// neighbours (ties: the lower gap), in ascending order, and the largest
// value. A gap's break is its middle, or its upper end where the middle does
// not lie above the lower end (neighbouring doubles, an infinite end). With
// fewer gaps than k - 1 every gap has a break and the remaining breaks repeat
// the largest value. False when the scratch memory cannot be allocated.
bool MaxGapBreaks(const double* values, std::int32_t d, std::int32_t k, double* breaks) noexcept;

// k + 1 breaks min * r^i, r = (max / min)^(1 / k), for 0 < min <= max < inf:
// break[0] = min and break[k] = max exactly, the others never above max
// and never descending. Where max / min overflows the progression is formed
// from the logarithms.
void GeometricBreaks(double min, double max, std::int32_t k, double* breaks) noexcept;

// The successive means of head/tail breaks over ascending values[0..m-1]:
// the mean of the whole, then, while the head (the values strictly above the
// last mean) holds fewer than share * the values it was split from, the mean
// of the head. A set is split only when its mean lies above its smallest
// value and at or below its largest (so each class keeps at least one value):
// a set of one distinct value, or one whose mean is NaN or -inf, ends the
// division. Each mean sums its set in ascending order (scaled by 2^-64 where
// the sum of finite values overflows). Writes the means to means[0..] (room
// for m of them) and returns their number.
std::int32_t HeadTailMeans(const double* values, std::int32_t m, double share,
                           double* means) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_BREAK_RULES_H
