// Natural breaks by dynamic programming over the distinct values.
#include "classify/internal/natural_breaks.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

// Prefix sums up to (not including) each point, one array per sum: the
// total count, and the sums of count * z and count * z^2 as unevaluated pairs
// hi + lo.
struct PrefixSums {
  double* weight;
  double* sumHi;
  double* sumLo;
  double* sqHi;
  double* sqLo;
};

// hi + lo += term, the rounding error of the high part kept in the low part.
void AddToPair(double& hi, double& lo, double term) {
  const double sum = hi + term;
  const double back = sum - hi;
  lo += (hi - (sum - back)) + (term - back);
  hi = sum;
}

// Fills the prefix sums 0..m for the points scaled by a power of two into
// (-1, 1) (exact but for values that fall below the normal range) and
// shifted by the scaled weighted median.
void FillPrefixSums(const double* values, const std::int32_t* counts, std::int32_t m,
                    const PrefixSums& prefix) {
  int exponent = 0;
  std::frexp(std::max(std::fabs(values[0]), std::fabs(values[m - 1])), &exponent);
  std::int64_t total = 0;
  for (std::int32_t i = 0; i < m; ++i) total += counts[i];
  std::int32_t median = 0;
  for (std::int64_t below = 0; 2 * (below + counts[median]) < total; ++median) {
    below += counts[median];
  }
  // A multiplication by 2^-exponent where that factor is a normal number
  // (it rounds as ldexp does), ldexp itself otherwise.
  const bool multiply = exponent > -1022 && exponent < 1022;
  const double factor = multiply ? std::ldexp(1.0, -exponent) : 0.0;
  const auto scaled = [&](double value) {
    return multiply ? value * factor : std::ldexp(value, -exponent);
  };
  const double shift = scaled(values[median]);

  double weight = 0.0, sumHi = 0.0, sumLo = 0.0, sqHi = 0.0, sqLo = 0.0;
  for (std::int32_t i = 0;; ++i) {
    prefix.weight[i] = weight;
    prefix.sumHi[i] = sumHi;
    prefix.sumLo[i] = sumLo;
    prefix.sqHi[i] = sqHi;
    prefix.sqLo[i] = sqLo;
    if (i == m) break;
    const double count = static_cast<double>(counts[i]);
    const double z = scaled(values[i]) - shift;
    weight += count;
    AddToPair(sumHi, sumLo, count * z);
    AddToPair(sqHi, sqLo, count * (z * z));
  }
}

// Sum of squared deviations of points i..j-1 from their mean.
inline double ClassCost(const PrefixSums& prefix, std::int32_t i, std::int32_t j) {
  const double sum = (prefix.sumHi[j] - prefix.sumHi[i]) + (prefix.sumLo[j] - prefix.sumLo[i]);
  const double sq = (prefix.sqHi[j] - prefix.sqHi[i]) + (prefix.sqLo[j] - prefix.sqLo[i]);
  return sq - sum * sum / (prefix.weight[j] - prefix.weight[i]);
}

// One layer of the suffix programme: for the rows i = firstRow..lastRow,
// cur[i] = min over j of cost(i..j-1) + prev[j], j from i + 1 to lastColumn,
// and choice[i - firstRow] the smallest best j.
//
// The best j never decreases as i grows, so the rows are solved by divide
// and conquer: the middle row of a range of rows scans the columns its
// neighbours allow and splits the range. With one class more the first class
// never grows either, so the previous layer's choice for row i
// (prevChoice[i - firstRow - 1]; null for the second layer) bounds the
// choice from above. The ranges are kept on a small stack of their own
// (depth below 32, as each range is at most half its parent).
//
// Ties: the rounding error of a computed cost of points i..m-1 in any number
// of classes stays far below 2^-40 of their sum of squares about the shift
// (the margin). A column is chosen over the larger ones already scanned when
// its cost is below their least cost plus the margin, so among choices whose
// costs are equal, or nearly so, the smallest column wins. The stopping test
// allows twice the margin for the rounding of the bound itself.
void SolveLayer(const PrefixSums& p, std::int32_t m, const double* prev, double* cur,
                std::int32_t* choice, const std::int32_t* prevChoice, std::int32_t firstRow,
                std::int32_t lastRow, std::int32_t lastColumn) {
  struct Range {
    std::int32_t iLo, iHi, jLo, jHi;
  };
  Range stack[64];
  int depth = 0;
  stack[depth++] = Range{firstRow, lastRow, firstRow + 1, lastColumn};
  const double sqHiEnd = p.sqHi[m];
  const double sqLoEnd = p.sqLo[m];
  while (depth > 0) {
    const Range range = stack[--depth];
    const std::int32_t mid = range.iLo + (range.iHi - range.iLo) / 2;
    std::int32_t top = range.jHi;
    if (prevChoice != nullptr && mid > firstRow) {
      top = std::min(top, prevChoice[mid - firstRow - 1]);
    }
    const double tie = ((sqHiEnd - p.sqHi[mid]) + (sqLoEnd - p.sqLo[mid])) * 0x1p-40;
    const double w0 = p.weight[mid], sh0 = p.sumHi[mid], sl0 = p.sumLo[mid];
    const double qh0 = p.sqHi[mid], ql0 = p.sqLo[mid];

    // Columns from the top down; a column j costs at least floor + prev[j]
    // (the first class only grows with j, the rest only shrinks), so the
    // scan stops once that bound is out of reach.
    const std::int32_t from = std::max(range.jLo, mid + 1);
    const double floor = from < top ? ClassCost(p, mid, from) : 0.0;
    std::int32_t best = top;
    double bestCost = ClassCost(p, mid, top) + prev[top];
    double least = bestCost;
    double takeBelow = least + tie;
    double stopAt = least + 2.0 * tie;
    for (std::int32_t j = top - 1; j >= from; --j) {
      if (floor + prev[j] >= stopAt) break;
      const double sum = (p.sumHi[j] - sh0) + (p.sumLo[j] - sl0);
      const double sq = (p.sqHi[j] - qh0) + (p.sqLo[j] - ql0);
      const double cost = (sq - sum * sum / (p.weight[j] - w0)) + prev[j];
      if (cost < takeBelow) {
        best = j;
        bestCost = cost;
        if (cost < least) {
          least = cost;
          takeBelow = least + tie;
          stopAt = least + 2.0 * tie;
        }
      }
    }
    cur[mid] = bestCost;
    choice[mid - firstRow] = best;
    if (mid < range.iHi) stack[depth++] = Range{mid + 1, range.iHi, best, range.jHi};
    if (range.iLo < mid) stack[depth++] = Range{range.iLo, mid - 1, range.jLo, best};
  }
}

template <class T>
std::unique_ptr<T[]> ScratchArray(std::int64_t n) {
  return std::unique_ptr<T[]>(NewArray<T>(n));
}

}  // namespace

std::int32_t CollapseEqual(double* values, std::int32_t m, std::int32_t* counts) noexcept {
  std::int32_t d = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    if (d > 0 && values[i] == values[d - 1]) {
      ++counts[d - 1];
    } else {
      values[d] = values[i];
      counts[d] = 1;
      ++d;
    }
  }
  return d;
}

bool OptimalClassStarts(const double* values, const std::int32_t* counts, std::int32_t m,
                        std::int32_t classes, std::int32_t* starts) noexcept {
  if (classes == 1 || classes == m) {
    for (std::int32_t s = 0; s < classes; ++s) starts[s] = s;
    return true;
  }
  // Layer c (c classes) is needed for the rows classes-c .. m-c, the top
  // layer only for row 0; every layer has at most `rows` of them.
  const std::int32_t rows = m - classes + 1;
  const std::int64_t points = static_cast<std::int64_t>(m) + 1;
  auto sums = ScratchArray<double>(5 * points);
  auto prev = ScratchArray<double>(points);
  auto cur = ScratchArray<double>(points);
  auto choice = ScratchArray<std::int32_t>(static_cast<std::int64_t>(classes - 1) * rows);
  if (!sums || !prev || !cur || !choice) return false;
  const PrefixSums prefix{sums.get(), sums.get() + points, sums.get() + 2 * points,
                          sums.get() + 3 * points, sums.get() + 4 * points};

  FillPrefixSums(values, counts, m, prefix);
  // One class: the points from i on.
  for (std::int32_t i = classes - 1; i < m; ++i) prev.get()[i] = ClassCost(prefix, i, m);
  for (std::int32_t c = 2; c <= classes; ++c) {
    std::int32_t* layerChoice = choice.get() + static_cast<std::int64_t>(c - 2) * rows;
    SolveLayer(prefix, m, prev.get(), cur.get(), layerChoice, c == 2 ? nullptr : layerChoice - rows,
               classes - c, c == classes ? 0 : m - c, m - c + 1);
    prev.swap(cur);
  }

  starts[0] = 0;
  std::int32_t i = 0;
  for (std::int32_t c = classes; c >= 2; --c) {
    i = choice.get()[static_cast<std::int64_t>(c - 2) * rows + (i - (classes - c))];
    starts[classes - c + 1] = i;
  }
  return true;
}

bool NaturalClassStarts(const double* values, const std::int32_t* counts, std::int32_t d,
                        std::int32_t k, std::int32_t* starts) noexcept {
  if (d <= k) {
    for (std::int32_t s = 0; s < d; ++s) starts[s] = s;
    return true;
  }
  if (k == 1) {
    starts[0] = 0;
    return true;
  }
  std::int32_t first = 0;
  std::int32_t end = d;
  std::int32_t remaining = k;
  std::int32_t s = 0;
  if (std::isinf(values[0]) && values[0] < 0) {
    starts[s++] = 0;
    first = 1;
    --remaining;
  }
  const bool highOwn = std::isinf(values[d - 1]) && values[d - 1] > 0 && remaining >= 2;
  if (highOwn) {
    end = d - 1;
    --remaining;
    starts[k - 1] = d - 1;
  } else if (std::isinf(values[d - 1])) {
    // +inf joins the last class of the finite values.
    end = d - 1;
  }
  if (!OptimalClassStarts(values + first, counts + first, end - first, remaining, starts + s)) {
    return false;
  }
  for (std::int32_t c = 0; c < remaining; ++c) starts[s + c] += first;
  return true;
}

}  // namespace internal
}  // namespace mensora
