// Natural breaks by dynamic programming over the distinct values.
#include "classify/internal/natural_breaks.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

// Prefix sums up to (not including) one point: the total count, and the sums
// of count * z and count * z^2 as unevaluated pairs hi + lo.
struct PrefixSum {
  double weight;
  double sumHi;
  double sumLo;
  double sqHi;
  double sqLo;
};

// hi + lo += term, the rounding error of the high part kept in the low part.
void AddToPair(double& hi, double& lo, double term) {
  const double sum = hi + term;
  const double back = sum - hi;
  lo += (hi - (sum - back)) + (term - back);
  hi = sum;
}

// Sum of squared deviations of points i..j-1 from their mean.
inline double ClassCost(const PrefixSum* prefix, std::int32_t i, std::int32_t j) {
  const PrefixSum& a = prefix[i];
  const PrefixSum& b = prefix[j];
  const double weight = b.weight - a.weight;
  const double sum = (b.sumHi - a.sumHi) + (b.sumLo - a.sumLo);
  const double sq = (b.sqHi - a.sqHi) + (b.sqLo - a.sqLo);
  return sq - sum * sum / weight;
}

// The rounding error of a computed cost of points i..m-1 in any number of
// classes stays far below 2^-40 of their sum of squares about the shift;
// choices closer than that are taken as equal.
inline double TieMargin(const PrefixSum* prefix, std::int32_t i, std::int32_t m) {
  return std::ldexp((prefix[m].sqHi - prefix[i].sqHi) + (prefix[m].sqLo - prefix[i].sqLo), -40);
}

// Fills prefix[0..m] for the points scaled by a power of two into (-1, 1)
// (exact but for values that fall below the normal range) and shifted by
// the scaled weighted median.
void FillPrefixSums(const double* values, const std::int32_t* counts, std::int32_t m,
                    PrefixSum* prefix) {
  int exponent = 0;
  std::frexp(std::max(std::fabs(values[0]), std::fabs(values[m - 1])), &exponent);
  std::int64_t total = 0;
  for (std::int32_t i = 0; i < m; ++i) total += counts[i];
  std::int32_t median = 0;
  for (std::int64_t below = 0; 2 * (below + counts[median]) < total; ++median) {
    below += counts[median];
  }
  const double shift = std::ldexp(values[median], -exponent);

  PrefixSum running{0.0, 0.0, 0.0, 0.0, 0.0};
  prefix[0] = running;
  for (std::int32_t i = 0; i < m; ++i) {
    const double weight = static_cast<double>(counts[i]);
    const double z = std::ldexp(values[i], -exponent) - shift;
    running.weight += weight;
    AddToPair(running.sumHi, running.sumLo, weight * z);
    AddToPair(running.sqHi, running.sqLo, weight * (z * z));
    prefix[i + 1] = running;
  }
}

// One layer of the suffix programme: cur[i] = min over j of
// cost(i..j-1) + prev[j], with choice[i - firstRow] the smallest best j.
struct Layer {
  const PrefixSum* prefix;
  std::int32_t m;
  const double* prev;
  double* cur;
  std::int32_t* choice;
  std::int32_t firstRow;
};

// Rows iLo..iHi, whose best next starts lie in jLo..jHi.
void SolveRows(const Layer& layer, std::int32_t iLo, std::int32_t iHi, std::int32_t jLo,
               std::int32_t jHi) {
  while (iLo <= iHi) {
    const std::int32_t mid = iLo + (iHi - iLo) / 2;
    const double tie = TieMargin(layer.prefix, mid, layer.m);
    std::int32_t best = std::max(jLo, mid + 1);
    double bestCost = ClassCost(layer.prefix, mid, best) + layer.prev[best];
    double beats = bestCost - tie;
    for (std::int32_t j = best + 1; j <= jHi; ++j) {
      const double cost = ClassCost(layer.prefix, mid, j) + layer.prev[j];
      if (cost < beats) {
        bestCost = cost;
        beats = cost - tie;
        best = j;
      }
    }
    layer.cur[mid] = bestCost;
    layer.choice[mid - layer.firstRow] = best;
    // Recurse into the left rows, loop over the right ones.
    SolveRows(layer, iLo, mid - 1, jLo, best);
    iLo = mid + 1;
    jLo = best;
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
  auto prefix = ScratchArray<PrefixSum>(static_cast<std::int64_t>(m) + 1);
  auto prev = ScratchArray<double>(static_cast<std::int64_t>(m) + 1);
  auto cur = ScratchArray<double>(static_cast<std::int64_t>(m) + 1);
  auto choice = ScratchArray<std::int32_t>(static_cast<std::int64_t>(classes - 1) * rows);
  if (!prefix || !prev || !cur || !choice) return false;

  FillPrefixSums(values, counts, m, prefix.get());
  for (std::int32_t i = classes - 1; i < m; ++i) prev[i] = ClassCost(prefix.get(), i, m);
  for (std::int32_t c = 2; c <= classes; ++c) {
    const std::int32_t firstRow = classes - c;
    const std::int32_t lastRow = c == classes ? 0 : m - c;
    const Layer layer{prefix.get(), m, prev.get(), cur.get(),
                      choice.get() + static_cast<std::int64_t>(c - 2) * rows, firstRow};
    SolveRows(layer, firstRow, lastRow, firstRow + 1, m - c + 1);
    prev.swap(cur);
  }

  starts[0] = 0;
  std::int32_t i = 0;
  for (std::int32_t c = classes; c >= 2; --c) {
    i = choice[static_cast<std::int64_t>(c - 2) * rows + (i - (classes - c))];
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
