// Natural breaks by dynamic programming over the distinct values.
#include "classify/internal/natural_breaks.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

#if defined(__unix__) && !defined(__EMSCRIPTEN__)
#include <pthread.h>
#include <signal.h>
#define MENSORA_BLOCK_SIGNALS 1
#endif

#include "sample/internal/alloc.h"
#include "sample/internal/progress.h"

namespace mensora {
namespace internal {

namespace {

// Prefix sums up to (not including) each point, one array per sum: the
// total weight, and the sums of weight * z and weight * z^2 as unevaluated
// pairs hi + lo.
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
void FillPrefixSums(const double* values, const double* weights, std::int32_t m,
                    const PrefixSums& prefix) {
  int exponent = 0;
  std::frexp(std::max(std::fabs(values[0]), std::fabs(values[m - 1])), &exponent);
  double total = 0.0;
  for (std::int32_t i = 0; i < m; ++i) total += weights[i];
  // The partial sums repeat those of the total, so the last point ends the
  // search at the latest.
  std::int32_t median = 0;
  for (double below = 0.0; median < m - 1 && 2.0 * (below + weights[median]) < total; ++median) {
    below += weights[median];
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
    const double w = weights[i];
    const double z = scaled(values[i]) - shift;
    weight += w;
    AddToPair(sumHi, sumLo, w * z);
    AddToPair(sqHi, sqLo, w * (z * z));
  }
}

// Sum of squared deviations of points i..j-1 from their mean.
inline double ClassCost(const PrefixSums& prefix, std::int32_t i, std::int32_t j) {
  const double sum = (prefix.sumHi[j] - prefix.sumHi[i]) + (prefix.sumLo[j] - prefix.sumLo[i]);
  const double sq = (prefix.sqHi[j] - prefix.sqHi[i]) + (prefix.sqLo[j] - prefix.sqLo[i]);
  return sq - sum * sum / (prefix.weight[j] - prefix.weight[i]);
}

// The tie margin of a layer of c classes, per unit of the points' sum of
// squares about the shift: (16 + c) * 2^-50. A computed cost of c classes is
// off by at most about (15 + c) * 2^-53 of that sum of squares (the rounding
// of the scaled and shifted points, of their products and sums, of each
// class cost, and of the c - 1 additions), so the margin is four times the
// largest difference rounding alone can make between two costs.
double TieScale(std::int32_t classes) {
  return (16.0 + static_cast<double>(classes)) * 0x1p-50;
}

// The margin never exceeds this share of the least cost itself. Values far
// from the shift (a few sentinel values such as 999999 among values near 1)
// make the sum of squares about the shift dwarf the costs, and a margin of
// it alone would pass over real differences between partitions of the other
// values; the rounding of the far values' classes is then mostly the same in
// the costs compared.
constexpr double kCostShare = 0x1p-34;

// The watch over one programme when the calling thread has a progress
// handler: the calling thread polls it, and a stop it asks for ends every
// thread's work at its next range.
struct Watch {
  std::atomic<bool> stop{false};
  double fraction = 0.0;  // done when the current layer began

  // On the calling thread: asks the handler; elsewhere: reads the stop.
  bool Continue(bool caller) noexcept {
    if (caller && !ContinueWork(fraction)) stop.store(true, std::memory_order_relaxed);
    return !stop.load(std::memory_order_relaxed);
  }
};

// One layer of the suffix programme: for the rows i = firstRow..lastRow,
// cur[i] = min over j of cost(i..j-1) + prev[j], j from i + 1 to lastColumn,
// and choice[i - firstRow] the chosen j.
struct Layer {
  const PrefixSums& p;
  std::int32_t m;
  const double* prev;
  double* cur;
  std::int32_t* choice;
  // The previous layer's choices (row i at prevChoice[i - prevFirstRow]);
  // null for the second layer.
  const std::int32_t* prevChoice;
  std::int32_t firstRow;
  std::int32_t prevFirstRow;
  // TieScale of the layer.
  double tieScale;
  // Null when no handler watches the call.
  Watch* watch;
};

// Rows iLo..iHi, whose chosen columns are known to lie in jLo..jHi.
struct Range {
  std::int32_t iLo, iHi, jLo, jHi;
};

#if defined(__GNUC__)
#define MENSORA_PAIRS 1
// Two doubles worked on together (SSE2 and the like); every operation rounds
// each lane as the same operation on a double.
typedef double Pair __attribute__((vector_size(16)));
// Rows with more columns than this scan them in pairs.
constexpr std::int32_t kPairedColumns = 2;

// values[0] and values[1].
inline Pair LoadPair(const double* values) {
  Pair pair;
  std::memcpy(&pair, values, sizeof pair);
  return pair;
}

// The work of a row is compiled into each place that splits ranges: a call
// costs as much as many a short scan.
#define MENSORA_ROW_INLINE __attribute__((always_inline)) inline
#else
#define MENSORA_ROW_INLINE inline
#endif

// The scan of row i over the columns from..top: its floor, the cost of the
// first class i..from-1 (0 when from = top), and the cost of the first class
// i..top-1.
struct RowEnds {
  double floor;
  double top;
};

MENSORA_ROW_INLINE RowEnds FirstClasses(const PrefixSums& p, std::int32_t i, std::int32_t from,
                                        std::int32_t top) {
#if defined(MENSORA_PAIRS)
  // Both classes together, each lane rounding as ClassCost.
  const Pair sum = (Pair{p.sumHi[from], p.sumHi[top]} - p.sumHi[i]) +
                   (Pair{p.sumLo[from], p.sumLo[top]} - p.sumLo[i]);
  const Pair sq = (Pair{p.sqHi[from], p.sqHi[top]} - p.sqHi[i]) +
                  (Pair{p.sqLo[from], p.sqLo[top]} - p.sqLo[i]);
  const Pair ends = sq - sum * sum / (Pair{p.weight[from], p.weight[top]} - p.weight[i]);
  return RowEnds{from < top ? ends[0] : 0.0, ends[1]};
#else
  return RowEnds{from < top ? ClassCost(p, i, from) : 0.0, ClassCost(p, i, top)};
#endif
}

// Row i over the columns from..top (from <= top), `ends` its FirstClasses:
// stores its cost and choice and returns the choice. Columns from the top
// down; a column j costs at least floor + prev[j] (the first class only grows
// with j, the rest only shrinks), so the scan stops once that bound is out of
// reach.
//
// A column is chosen over the larger ones already scanned when its cost is
// at most their least cost plus the margin, so the row takes the smallest
// column whose cost is within the margin of the least cost of the columns
// above it. The margin is the smaller of tieScale times the points' sum of
// squares about the shift from row i on and kCostShare times that least
// cost. The stopping test allows twice the margin for the rounding of the
// bound itself.
MENSORA_ROW_INLINE std::int32_t SolveRow(const Layer& layer, std::int32_t i, std::int32_t from,
                                         std::int32_t top, const RowEnds& ends) {
  const PrefixSums& p = layer.p;
  const double* prev = layer.prev;
  const std::int32_t m = layer.m;
  const double spread = ((p.sqHi[m] - p.sqHi[i]) + (p.sqLo[m] - p.sqLo[i])) * layer.tieScale;
  const auto margin = [spread](double least) {
    return std::min(spread, std::fabs(least) * kCostShare);
  };
  const double w0 = p.weight[i], sh0 = p.sumHi[i], sl0 = p.sumLo[i];
  const double qh0 = p.sqHi[i], ql0 = p.sqLo[i];

  const double floor = ends.floor;
  double bestCost = ends.top + prev[top];
  std::int32_t best = top;
  double least = bestCost;
  double tie = margin(least);
  double takeBelow = least + tie;
  double stopAt = least + 2.0 * tie;
  // Column j with its cost: false once the bound is out of reach.
  const auto take = [&](std::int32_t j, double bound, double cost) {
    if (bound > stopAt) return false;
    if (cost <= takeBelow) {
      best = j;
      bestCost = cost;
      if (cost < least) {
        least = cost;
        tie = margin(least);
        takeBelow = least + tie;
        stopAt = least + 2.0 * tie;
      }
    }
    return true;
  };
  std::int32_t j = top - 1;
#if defined(MENSORA_PAIRS)
  // Long scans two columns at a time, j in the high lane and j - 1 in the
  // low one, each lane rounding as the plain loop below; the columns are
  // then taken one by one, j first. The pair's work past a stop is thrown
  // away.
  if (top - from > kPairedColumns) {
    const Pair w0s = {w0, w0}, sh0s = {sh0, sh0}, sl0s = {sl0, sl0};
    const Pair qh0s = {qh0, qh0}, ql0s = {ql0, ql0}, floors = {floor, floor};
    for (; j > from; j -= 2) {
      const Pair prevs = LoadPair(prev + j - 1);
      const Pair sum = (LoadPair(p.sumHi + j - 1) - sh0s) + (LoadPair(p.sumLo + j - 1) - sl0s);
      const Pair sq = (LoadPair(p.sqHi + j - 1) - qh0s) + (LoadPair(p.sqLo + j - 1) - ql0s);
      const Pair cost = (sq - sum * sum / (LoadPair(p.weight + j - 1) - w0s)) + prevs;
      const Pair bound = floors + prevs;
      if (!take(j, bound[1], cost[1]) || !take(j - 1, bound[0], cost[0])) {
        j = from - 1;
        break;
      }
    }
  }
#endif
  for (; j >= from; --j) {
    const double sum = (p.sumHi[j] - sh0) + (p.sumLo[j] - sl0);
    const double sq = (p.sqHi[j] - qh0) + (p.sqLo[j] - ql0);
    if (!take(j, floor + prev[j], (sq - sum * sum / (p.weight[j] - w0)) + prev[j])) break;
  }
  layer.cur[i] = bestCost;
  layer.choice[i - layer.firstRow] = best;
  return best;
}

// The upper bound of row i's choice: with one class more the first class
// never grows, so the previous layer's choice for the row bounds it.
std::int32_t TopColumn(const Layer& layer, std::int32_t i, std::int32_t jHi) {
  if (layer.prevChoice == nullptr || i < layer.prevFirstRow) return jHi;
  return std::min(jHi, layer.prevChoice[i - layer.prevFirstRow]);
}

// The middle row of a range and the columns it scans.
struct MiddleRow {
  std::int32_t row, from, top;
};

MiddleRow MiddleOf(const Layer& layer, const Range& range) {
  const std::int32_t mid = range.iLo + (range.iHi - range.iLo) / 2;
  return MiddleRow{mid, std::max(range.jLo, mid + 1), TopColumn(layer, mid, range.jHi)};
}

// Solves the middle row of a range and writes the two ranges of rows left on
// either side of it (either may be empty: iLo > iHi).
void SplitRange(const Layer& layer, const Range& range, Range& low, Range& high) {
  const MiddleRow r = MiddleOf(layer, range);
  const std::int32_t best =
      SolveRow(layer, r.row, r.from, r.top, FirstClasses(layer.p, r.row, r.from, r.top));
  low = Range{range.iLo, r.row - 1, range.jLo, best};
  high = Range{r.row + 1, range.iHi, best, range.jHi};
}

// All rows of a range. The best column never decreases as the row grows, so
// the rows are solved by divide and conquer: the middle row scans the columns
// its neighbours allow and splits the range. Where both neighbours chose the
// same column every row between them takes it. The ranges wait on a small
// stack of their own; two ranges to split are taken together, the first
// classes of both middle rows costed before either scans, so that their
// divisions overlap (each range is at most half its parent, so every level
// of ranges leaves at most two waiting: the depth stays below 70). Under a
// watch the work is polled every 1024 steps and given up when stopped.
void SolveRange(const Layer& layer, const Range& whole, bool caller) {
  Range stack[72];
  int depth = 0;
  if (whole.iLo <= whole.iHi) stack[depth++] = whole;
  // The ranges left on either side of a range's middle row that chose best.
  const auto split = [&stack, &depth](const Range& range, std::int32_t mid, std::int32_t best) {
    if (mid < range.iHi) stack[depth++] = Range{mid + 1, range.iHi, best, range.jHi};
    if (range.iLo < mid) stack[depth++] = Range{range.iLo, mid - 1, range.jLo, best};
  };
  for (std::uint32_t taken = 1; depth > 0; ++taken) {
    if (layer.watch != nullptr && taken % 1024 == 0 && !layer.watch->Continue(caller)) return;
    const Range range = stack[--depth];
    if (range.jLo == range.jHi) {
      const std::int32_t j = range.jHi;
      std::int32_t i = range.iLo;
#if defined(MENSORA_PAIRS)
      // Two rows at a time, each lane rounding as ClassCost.
      const PrefixSums& p = layer.p;
      for (; i < range.iHi; i += 2) {
        const Pair sum = (p.sumHi[j] - Pair{p.sumHi[i], p.sumHi[i + 1]}) +
                         (p.sumLo[j] - Pair{p.sumLo[i], p.sumLo[i + 1]});
        const Pair sq = (p.sqHi[j] - Pair{p.sqHi[i], p.sqHi[i + 1]}) +
                        (p.sqLo[j] - Pair{p.sqLo[i], p.sqLo[i + 1]});
        const Pair cost =
            (sq - sum * sum / (p.weight[j] - Pair{p.weight[i], p.weight[i + 1]})) + layer.prev[j];
        layer.cur[i] = cost[0];
        layer.cur[i + 1] = cost[1];
        layer.choice[i - layer.firstRow] = j;
        layer.choice[i + 1 - layer.firstRow] = j;
      }
#endif
      for (; i <= range.iHi; ++i) {
        layer.cur[i] = ClassCost(layer.p, i, j) + layer.prev[j];
        layer.choice[i - layer.firstRow] = j;
      }
      continue;
    }
    const MiddleRow a = MiddleOf(layer, range);
    const RowEnds endsA = FirstClasses(layer.p, a.row, a.from, a.top);
    if (depth > 0 && stack[depth - 1].jLo != stack[depth - 1].jHi) {
      const Range other = stack[--depth];
      const MiddleRow b = MiddleOf(layer, other);
      const RowEnds endsB = FirstClasses(layer.p, b.row, b.from, b.top);
      const std::int32_t bestA = SolveRow(layer, a.row, a.from, a.top, endsA);
      const std::int32_t bestB = SolveRow(layer, b.row, b.from, b.top, endsB);
      split(other, b.row, bestB);
      split(range, a.row, bestA);
    } else {
      split(range, a.row, SolveRow(layer, a.row, a.from, a.top, endsA));
    }
  }
}

// The last row of layer c worth solving. The partition is read from row 0 of
// the top layer, each layer's choice giving the row of the next one, so only
// rows reachable that way matter. With more classes the first class never
// grows, and a later row never chooses an earlier start, so following the
// choices of layer c - 1 (`choice`, rows first..last) `steps` times, starting
// from its first row rather than row 0, never falls short of the rows the
// layers above can reach.
std::int32_t ReachableRow(const std::int32_t* choice, std::int32_t first, std::int32_t last,
                          std::int32_t steps) {
  std::int32_t row = first;
  for (std::int32_t s = 0; s < steps && row <= last; ++s) row = choice[row - first];
  return row;
}

// A thread running `body` that takes none of the process's signals (they go
// to the calling thread, whose handlers may poll for a cancel).
template <class Body>
std::thread StartThread(Body body) {
#if defined(MENSORA_BLOCK_SIGNALS)
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old);
  try {
    std::thread thread(body);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return thread;
  } catch (...) {
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    throw;
  }
#else
  return std::thread(body);
#endif
}

// Layers of at least this many rows are shared out among threads.
constexpr std::int32_t kThreadedRows = 1 << 15;
// At most this many threads work on one layer, the calling one included.
constexpr int kMaxThreads = 4;

// Solves a layer on up to `threads` threads. The top rows are solved here
// until the layer falls into enough independent ranges, which the threads
// then take one at a time. Every range is solved exactly as by one thread,
// so the result does not depend on the number of threads. Where a thread
// cannot be started its share falls to the others. Under a watch no range
// is begun once stopped.
void SolveLayer(const Layer& layer, const Range& whole, int threads) {
  if (threads < 2 || whole.iHi - whole.iLo + 1 < kThreadedRows) {
    SolveRange(layer, whole, true);
    return;
  }
  constexpr int kRanges = 32;
  Range ranges[kRanges];
  int count = 1;
  ranges[0] = whole;
  // Ranges that are empty, or whose rows all take one column, are not split;
  // when no range can be split any more the splitting ends.
  for (int before = 0; count > before && 2 * count <= kRanges;) {
    Range next[kRanges];
    int nextCount = 0;
    for (int r = 0; r < count; ++r) {
      if (ranges[r].iLo > ranges[r].iHi || ranges[r].jLo == ranges[r].jHi) {
        next[nextCount++] = ranges[r];
      } else {
        SplitRange(layer, ranges[r], next[nextCount], next[nextCount + 1]);
        nextCount += 2;
      }
    }
    before = count;
    count = nextCount;
    std::copy(next, next + count, ranges);
  }

  std::atomic<int> taken{0};
  const auto work = [&layer, &ranges, &taken, count](bool caller) {
    for (int r = taken.fetch_add(1); r < count; r = taken.fetch_add(1)) {
      if (layer.watch != nullptr && !layer.watch->Continue(caller)) return;
      SolveRange(layer, ranges[r], caller);
    }
  };
  std::thread helpers[kMaxThreads - 1];
  int started = 0;
  for (; started < std::min(threads, kMaxThreads) - 1; ++started) {
    try {
      helpers[started] = StartThread([&work] { work(false); });
    } catch (...) {
      break;
    }
  }
  work(true);
  for (int t = 0; t < started; ++t) helpers[t].join();
}

template <class T>
OwnedArray<T> ScratchArray(std::int64_t n) {
  return OwnedArray<T>(NewArray<T>(n));
}

}  // namespace

std::int32_t CollapseEqual(double* values, std::int32_t m, double* weights) noexcept {
  // Each run's length is written once the next run begins.
  std::int32_t d = 0;
  std::int32_t runStart = 0;
  for (std::int32_t i = 0; i < m; ++i) {
    if (d > 0 && values[i] == values[d - 1]) continue;
    if (d > 0) weights[d - 1] = static_cast<double>(i - runStart);
    values[d++] = values[i];
    runStart = i;
  }
  if (d > 0) weights[d - 1] = static_cast<double>(m - runStart);
  return d;
}

namespace {

// The scratch memory of the programme for up to `classes` classes over m
// points: the prefix sums and two layers of costs in one array, and the
// choices of layers 2..classes, `rows` for each. Small programmes keep both
// in the object itself, unless the choices are handed on.
struct Programme {
  static constexpr std::int64_t kLocalPoints = 64;
  static constexpr std::int64_t kLocalChoices = 512;

  OwnedArray<double> heapSums;
  OwnedArray<std::int32_t> heapChoice;
  double* sums = nullptr;
  double* prev = nullptr;
  double* cur = nullptr;
  std::int32_t* choice = nullptr;
  std::int32_t rows = 0;
  double localSums[7 * kLocalPoints];
  std::int32_t localChoice[kLocalChoices];

  bool Allocate(std::int32_t m, std::int32_t classes, std::int32_t layerRows,
                bool handedOn) noexcept {
    const std::int64_t points = static_cast<std::int64_t>(m) + 1;
    const std::int64_t choices = static_cast<std::int64_t>(classes - 1) * layerRows;
    rows = layerRows;
    if (points <= kLocalPoints) {
      sums = localSums;
    } else {
      heapSums = ScratchArray<double>(7 * points);
      sums = heapSums.get();
    }
    if (choices <= kLocalChoices && !handedOn) {
      choice = localChoice;
    } else {
      heapChoice = ScratchArray<std::int32_t>(choices);
      choice = heapChoice.get();
    }
    if (sums == nullptr || choice == nullptr) return false;
    prev = sums + 5 * points;
    cur = prev + points;
    return true;
  }

  // Layer c's choice for row i, the layer's rows starting at firstRow.
  std::int32_t Choice(std::int32_t c, std::int32_t firstRow, std::int32_t i) const {
    return choice[static_cast<std::int64_t>(c - 2) * rows + (i - firstRow)];
  }

  // Fills the prefix sums and solves layers 2..classes bottom up. Layer c
  // solves the rows from firstRow(c) = allRows ? 0 : classes - c, up to the
  // last row the layers above can reach; the top layer only row 0. With
  // allRows, costs[c - 1] receives the least cost of all the points in c
  // classes (row 0 of every layer), for c = 1..classes. False when the
  // calling thread's progress handler stopped it.
  bool Solve(const double* values, const double* weights, std::int32_t m, std::int32_t classes,
             bool allRows, int threads, double* costs) noexcept {
    const std::int64_t points = static_cast<std::int64_t>(m) + 1;
    const PrefixSums prefix{sums, sums + points, sums + 2 * points, sums + 3 * points,
                            sums + 4 * points};
    Watch watched;
    Watch* const watch = ProgressWatched() ? &watched : nullptr;
    if (watch != nullptr && !watch->Continue(true)) return false;
    FillPrefixSums(values, weights, m, prefix);
    const auto firstRow = [classes, allRows](std::int32_t c) { return allRows ? 0 : classes - c; };
    // One class: the points from i on.
    for (std::int32_t i = firstRow(1); i < m; ++i) prev[i] = ClassCost(prefix, i, m);
    if (allRows) costs[0] = prev[0];
    // The columns of layer c are the rows solved in layer c - 1.
    std::int32_t lastColumn = m - 1;
    for (std::int32_t c = 2; c <= classes; ++c) {
      std::int32_t* layerChoice = choice + static_cast<std::int64_t>(c - 2) * rows;
      const std::int32_t* prevChoice = c == 2 ? nullptr : layerChoice - rows;
      std::int32_t lastRow = c == classes ? 0 : m - c;
      if (prevChoice != nullptr && c < classes) {
        lastRow = std::min(lastRow,
                           ReachableRow(prevChoice, firstRow(c - 1), lastColumn, classes - c));
      }
      lastRow = std::min(lastRow, lastColumn - 1);
      if (watch != nullptr) {
        watch->fraction = static_cast<double>(c - 2) / static_cast<double>(classes - 1);
        if (!watch->Continue(true)) return false;
      }
      const Layer layer{prefix,      m,           prev,              cur,             
                        layerChoice, prevChoice,  firstRow(c),       firstRow(c - 1),
                        TieScale(c), watch};
      SolveLayer(layer, Range{firstRow(c), lastRow, firstRow(c) + 1, lastColumn}, threads);
      if (watch != nullptr && watch->stop.load(std::memory_order_relaxed)) return false;
      if (allRows) costs[c - 1] = cur[0];
      lastColumn = lastRow;
      std::swap(prev, cur);
    }
    return true;
  }
};

}  // namespace

bool OptimalClassStarts(const double* values, const double* weights, std::int32_t m,
                        std::int32_t classes, int threads, std::int32_t* starts) noexcept {
  if (classes == 1 || classes == m) {
    for (std::int32_t s = 0; s < classes; ++s) starts[s] = s;
    return true;
  }
  // Layer c (c classes) is needed for the rows classes-c .. m-c, the top
  // layer only for row 0; every layer has at most m - classes + 1 of them.
  Programme programme;
  if (!programme.Allocate(m, classes, m - classes + 1, false)) return false;
  if (!programme.Solve(values, weights, m, classes, false, threads, nullptr)) return false;
  starts[0] = 0;
  std::int32_t i = 0;
  for (std::int32_t c = classes; c >= 2; --c) {
    i = programme.Choice(c, classes - c, i);
    starts[classes - c + 1] = i;
  }
  return true;
}

bool ClassCountLadder::Solve(const double* values, const double* weights, std::int32_t m,
                             std::int32_t maxClasses, int threads) noexcept {
  Programme programme;
  costs_ = ScratchArray<double>(maxClasses);
  // Every layer solves the rows from 0; layer 2 has the most, m - 1.
  if (!costs_ || !programme.Allocate(m, maxClasses, m - 1, true)) return false;
  if (!programme.Solve(values, weights, m, maxClasses, true, threads, costs_.get())) return false;
  // Only the choices are kept.
  choice_ = std::move(programme.heapChoice);
  rows_ = programme.rows;
  return true;
}

void ClassCountLadder::Starts(std::int32_t classes, std::int32_t* starts) const noexcept {
  starts[0] = 0;
  std::int32_t i = 0;
  for (std::int32_t c = classes; c >= 2; --c) {
    i = choice_.get()[static_cast<std::int64_t>(c - 2) * rows_ + i];
    starts[classes - c + 1] = i;
  }
}

bool NaturalClassStarts(const double* values, const double* weights, std::int32_t d,
                        std::int32_t k, int threads, std::int32_t* starts) noexcept {
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
  if (!OptimalClassStarts(values + first, weights + first, end - first, remaining, threads,
                          starts + s)) {
    return false;
  }
  for (std::int32_t c = 0; c < remaining; ++c) starts[s + c] += first;
  return true;
}

void FillNaturalBreaks(const double* values, std::int32_t d, const std::int32_t* starts,
                       std::int32_t k, double* breaks) noexcept {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::int32_t classes = std::min(k, d);
  for (std::int32_t s = 0; s < k; ++s) {
    breaks[s] = d == 0 ? nan : values[starts[std::min(s, classes - 1)]];
  }
  breaks[k] = d == 0 ? nan : values[d - 1];
}

int NaturalBreaksThreads(std::int32_t points) noexcept {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  // WebAssembly without threads: starting a thread would abort the module.
  return 1;
#endif
  // No layer over so few points is shared out: neither the environment nor
  // the machine (a file read on Linux) is asked, so small calls pay nothing.
  // Layer 2 of a ladder has the most rows, points - 1.
  if (points - 1 < kThreadedRows) return 1;
  // The library never changes the environment itself.
  const char* text = std::getenv("MENSORA_THREADS");  // NOLINT(concurrency-mt-unsafe)
  if (text != nullptr) {
    char* end = nullptr;
    const long wanted = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && wanted >= 1) {
      return static_cast<int>(std::min(wanted, static_cast<long>(kMaxThreads)));
    }
  }
  // The machine is asked once (a file read on Linux).
  static const unsigned hardware = std::thread::hardware_concurrency();
  if (hardware == 0) return 1;
  return static_cast<int>(std::min(hardware, static_cast<unsigned>(kMaxThreads)));
}

}  // namespace internal
}  // namespace mensora
