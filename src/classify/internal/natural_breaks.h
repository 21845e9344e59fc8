// Natural breaks: the partition of a sorted sample into classes of
// consecutive values with the least total within-class sum of squared
// deviations from the class means.
#ifndef MENSORA_CLASSIFY_INTERNAL_NATURAL_BREAKS_H
#define MENSORA_CLASSIFY_INTERNAL_NATURAL_BREAKS_H

#include <cstdint>
#include <memory>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

// Collapses the runs of equal values of the ascending values[0..m-1] in place
// into distinct values, writing the length of each run to weights. Returns
// the number of distinct values.
std::int32_t CollapseEqual(double* values, std::int32_t m, double* weights) noexcept;

// The optimal partition of m weighted points (distinct finite values,
// ascending, with weights > 0) into `classes` classes of consecutive points,
// 1 <= classes <= m: writes the first point of each class to
// starts[0..classes-1] (starts[0] = 0). Whole-number weights act exactly as
// that many copies of the value as long as their total stays below 2^53. Any
// other weights must keep every partial sum of weights strictly growing (no
// weight below the rounding of the total) and the total finite.
//
// The cost of a class is sum(weight * (value - class mean)^2), computed from
// prefix sums of the points scaled by a power of two and shifted by their
// weighted median, the sums carried as pairs of doubles so that the
// difference of two prefix sums keeps the precision of the class itself. The
// dynamic programme runs over suffixes: best[c][i] is the least cost of
// points i..m-1 in c classes, reached by choosing where the second class
// begins; each layer is solved by divide and conquer over the rows, since the
// best next start never decreases as i grows, and never exceeds the start
// chosen for the same row with one class less. O(classes * m * log m) cost
// evaluations and (classes - 1) * (m - classes + 1) stored choices. Layers of
// many rows are shared out among up to `threads` threads (at most 4); the
// result is the same for every number of threads.
//
// Ties: costs of c classes count as equal when they differ by no more than
// (16 + c) * 2^-50 of the sum of squares about the shift of the points
// concerned (four times what rounding alone can make of a difference) and
// by no more than 2^-34 of the costs themselves; the smaller next start
// wins, and the partition is read from the front, so among equally good
// partitions the one with the lexicographically smallest class starts is
// returned. The input being the sorted distinct points, the result never
// depends on the order of the sample.
//
// False when the scratch memory cannot be allocated or the calling
// thread's progress handler stopped the work.
bool OptimalClassStarts(const double* values, const double* weights, std::int32_t m,
                        std::int32_t classes, int threads, std::int32_t* starts) noexcept;

// The programme of OptimalClassStarts solved once for every class count
// 1..maxClasses (2 <= maxClasses < m) over all the points: the least cost of
// each count and its partition. Every layer also solves its row 0 (the
// least cost of all the points in that many classes); the rows the layers
// above can reach are bounded as before, so one ladder costs little more
// than OptimalClassStarts for maxClasses. Each partition is the one
// OptimalClassStarts gives for its count, up to the tie margin: a column
// scan that reaches further up can only settle a tie within the margin
// differently.
class ClassCountLadder {
 public:
  // False when the scratch memory cannot be allocated or the calling
  // thread's progress handler stopped the work.
  bool Solve(const double* values, const double* weights, std::int32_t m,
             std::int32_t maxClasses, int threads) noexcept;
  // The least total cost of the points in `classes` classes, 1 <= classes <=
  // maxClasses, on the scale of the prefix sums (the points scaled by a
  // power of two): ratios of costs are those of the points themselves.
  double Cost(std::int32_t classes) const noexcept {
    return costs_[static_cast<std::size_t>(classes - 1)];
  }
  // The first point of each of the `classes` classes.
  void Starts(std::int32_t classes, std::int32_t* starts) const noexcept;

 private:
  OwnedArray<double> costs_;
  OwnedArray<std::int32_t> choice_;
  std::int32_t rows_ = 0;
};

// The natural-breaks classes of d distinct ascending values with weights, as
// for OptimalClassStarts (d >= 1, -inf first and +inf last where present, no NaN) for a class count
// k >= 1. Writes the first point of each of min(k, d) classes to starts:
//   - d <= k: every distinct value is its own class;
//   - k = 1: one class;
//   - otherwise -inf (when present) is a class of its own and +inf (when
//     present) too while at least one class remains for the finite values
//     (else it joins the last finite class), and the finite values take the
//     remaining classes by OptimalClassStarts. A class that mixes an infinite
//     value with any other has an infinite sum of squares, so whenever k
//     leaves room this is the only partition with a finite cost.
// False when the scratch memory cannot be allocated or the calling
// thread's progress handler stopped the work.
bool NaturalClassStarts(const double* values, const double* weights, std::int32_t d,
                        std::int32_t k, int threads, std::int32_t* starts) noexcept;

// The k + 1 breaks of the natural-breaks classes of d distinct ascending
// values (d >= 0) whose min(k, d) classes start at the points in starts:
// break[s] is the smallest value of class s, break[k] the largest value.
// With fewer distinct values than classes (d < k) the classes d-1..k-2 are
// empty, their breaks repeating the largest value, and the last class holds
// it. With no value every break is NaN.
void FillNaturalBreaks(const double* values, std::int32_t d, const std::int32_t* starts,
                       std::int32_t k, double* breaks) noexcept;

// The number of threads natural breaks over `points` distinct values may
// use, at most 4: the value of the environment variable MENSORA_THREADS when
// it is a whole number of at least 1 (1: the calling thread only), else the
// machine's hardware threads. 1, with neither asked, when the points are too
// few for any layer to be shared out.
int NaturalBreaksThreads(std::int32_t points) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_CLASSIFY_INTERNAL_NATURAL_BREAKS_H
