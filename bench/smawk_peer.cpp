// The stand-in of smawk_peer.h: for the benchmarks only, not the library.
#include "smawk_peer.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

namespace mensora_bench {

namespace {

// Blocks allocated by the stand-in's vectors, for PeerStats.
std::int64_t g_allocations = 0;

template <class T>
struct Counted {
  using value_type = T;
  Counted() = default;
  template <class U>
  Counted(const Counted<U>&) noexcept {}  // NOLINT(google-explicit-constructor)
  T* allocate(std::size_t n) {
    ++g_allocations;
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
};
template <class T, class U>
bool operator==(const Counted<T>&, const Counted<U>&) {
  return true;
}
template <class T, class U>
bool operator!=(const Counted<T>&, const Counted<U>&) {
  return false;
}

template <class T>
using Vec = std::vector<T, Counted<T>>;
using Index = std::size_t;

using Clock = std::chrono::steady_clock;

// Sum of squared deviations of the sorted points j..i from their mean, from
// the prefix sums s1, s2 of the centred points (s[0] = 0, s[i + 1] through
// point i); never below zero.
inline double Ssq(const double* s1, const double* s2, Index j, Index i) {
  const double sum = s1[i + 1] - s1[j];
  const double v = (s2[i + 1] - s2[j]) - sum * sum / static_cast<double>(i - j + 1);
  return v < 0.0 ? 0.0 : v;
}

// The matrix of one layer: row i (the last point), column j (the first
// point of the last class): the best cost of points 0..j-1 in one class
// less, plus the last class. Infinite where the class would be empty.
struct LayerCost {
  const double* s1;
  const double* s2;
  const double* prev;
  double operator()(Index i, Index j) const {
    if (j > i) return std::numeric_limits<double>::infinity();
    return prev[j - 1] + Ssq(s1, s2, j, i);
  }
};

// SMAWK: the leftmost minimum of every row of a totally monotone matrix,
// into best[row] and choice[row]. REDUCE keeps at most one column per row,
// the odd rows are solved recursively, and INTERPOLATE scans each even row
// between the choices of its neighbours.
void Smawk(const Vec<Index>& rows, const Vec<Index>& cols, const LayerCost& cost, double* best,
           Index* choice) {
  if (rows.empty()) return;
  Vec<Index> kept;
  kept.reserve(rows.size());
  for (const Index c : cols) {
    while (!kept.empty()) {
      const Index row = rows[kept.size() - 1];
      if (cost(row, kept.back()) <= cost(row, c)) break;
      kept.pop_back();
    }
    if (kept.size() < rows.size()) kept.push_back(c);
  }
  Vec<Index> odd;
  odd.reserve(rows.size() / 2);
  for (Index r = 1; r < rows.size(); r += 2) odd.push_back(rows[r]);
  Smawk(odd, kept, cost, best, choice);
  Index c = 0;
  for (Index r = 0; r < rows.size(); r += 2) {
    const Index row = rows[r];
    const Index last = r + 1 < rows.size() ? choice[rows[r + 1]] : kept.back();
    Index arg = kept[c];
    double least = cost(row, arg);
    while (kept[c] != last) {
      ++c;
      const double v = cost(row, kept[c]);
      if (v < least) {
        least = v;
        arg = kept[c];
      }
    }
    best[row] = least;
    choice[row] = arg;
  }
}

double Since(Clock::time_point& start) {
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - start).count();
  start = now;
  return seconds;
}

}  // namespace

bool SmawkPeerBreaks(const double* values, std::int32_t n32, std::int32_t k32, PeerLayout layout,
                     double* breaks, std::int32_t* sizes, PeerStats* stats) {
  if (n32 < 1 || k32 < 1 || k32 > n32) return false;
  const auto n = static_cast<Index>(n32);
  const auto k = static_cast<Index>(k32);
  g_allocations = 0;
  Clock::time_point start = stats != nullptr ? Clock::now() : Clock::time_point();

  Vec<double> x(values, values + n);
  std::sort(x.begin(), x.end());
  if (stats != nullptr) stats->copySortSeconds = Since(start);

  // Prefix sums of the points centred on their median.
  const double shift = n % 2 == 1 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2.0;
  Vec<double> s1(n + 1, 0.0);
  Vec<double> s2(n + 1, 0.0);
  for (Index i = 0; i < n; ++i) {
    const double z = x[i] - shift;
    s1[i + 1] = s1[i] + z;
    s2[i + 1] = s2[i] + z * z;
  }
  if (stats != nullptr) stats->prefixSeconds = Since(start);

  // cost[q][i]: the least cost of points 0..i in q + 1 classes; back[q][i]:
  // the first point of the last of those classes.
  const bool full = layout == PeerLayout::kFullMatrix;
  Vec<Vec<double>> cost(full ? k : 2, Vec<double>(n));
  Vec<Vec<Index>> back(k, Vec<Index>(n));
  for (Index i = 0; i < n; ++i) {
    cost[0][i] = Ssq(s1.data(), s2.data(), 0, i);
    back[0][i] = 0;
  }
  for (Index q = 1; q < k; ++q) {
    double* prev = full ? cost[q - 1].data() : cost[(q - 1) % 2].data();
    double* cur = full ? cost[q].data() : cost[q % 2].data();
    // Every row may still be needed below the top layer; the top layer
    // needs only the last point.
    const Index firstRow = q + 1 < k ? q : n - 1;
    Vec<Index> rows;
    rows.reserve(n - firstRow);
    for (Index i = firstRow; i < n; ++i) rows.push_back(i);
    Vec<Index> cols;
    cols.reserve(n - q);
    for (Index j = q; j < n; ++j) cols.push_back(j);
    Smawk(rows, cols, LayerCost{s1.data(), s2.data(), prev}, cur, back[q].data());
  }
  if (stats != nullptr) stats->layerSeconds = Since(start);

  Index last = n - 1;
  for (Index q = k; q-- > 0;) {
    const Index first = back[q][last];
    sizes[q] = static_cast<std::int32_t>(last - first + 1);
    breaks[q] = x[first];
    if (first == 0) break;
    last = first - 1;
  }
  breaks[k] = x[n - 1];
  if (stats != nullptr) {
    stats->backtrackSeconds = Since(start);
    stats->allocations = g_allocations;
  }
  return true;
}

}  // namespace mensora_bench
