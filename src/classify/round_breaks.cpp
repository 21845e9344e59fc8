// Round breaks for a class result. Each break may take any value that leaves
// the class of every value unchanged: one that keeps the same values below it
// (the lower break of a class), or for the last break the same values within
// the last class under its closing rule. That set is an interval of doubles;
// the roundest number in it is found exponent by exponent, from the largest
// power of ten down: the first power with a multiple in the interval gives
// the fewest significant digits, and its multiple nearest the exact break is
// taken. An interval with no value on one side reaches at most one class
// width out on that side.
//
// Also here: the smallest and largest member of each class, for labels.
// Both read the sorted view in place where it ascends without NaN (as the
// quicksort leaves it), so that neither costs more than a pass over it.
#include <algorithm>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "classify/internal/sorted_numbers.h"
#include "classify/internal/whole_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::LastClass;
using mensora::internal::LastClassEnd;
using mensora::internal::ResolveLastClass;
using mensora::internal::SortedNumbers;
using mensora::internal::WorkArray;

namespace {

// Ascending values without NaN: the sorted view itself, or a sorted copy of
// its numbers.
struct SortedValues {
  const ORDER_DATA* view = nullptr;
  const double* copy = nullptr;
  std::int64_t count = 0;

  double operator[](std::int64_t i) const {
    if (copy != nullptr) return copy[i];
    return view != nullptr ? view[i].dValue : std::numeric_limits<double>::quiet_NaN();
  }
  // The first i at which pred fails; pred holds on a prefix.
  template <class Pred>
  std::int64_t PartitionPoint(Pred pred) const {
    std::int64_t lo = 0, hi = count;
    while (lo < hi) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (pred((*this)[mid])) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  }
};

// What one pass over the view finds, kept by the object until the view is
// rebuilt: whether it ascends without NaN, and whether its values are whole
// numbers (see whole_numbers.h).
constexpr std::int32_t kFactsRead = 1;
constexpr std::int32_t kAscending = 2;
constexpr std::int32_t kWhole = 4;

std::int32_t ReadView(const ORDER_DATA* view, std::int32_t n) {
  bool ascending = true;
  bool whole = true;
  for (std::int32_t start = 0; start < n; start += 4096) {
    const std::int32_t end = n - start < 4096 ? n : start + 4096;
    bool block = true;
    std::int32_t fractions = 0;
    for (std::int32_t e = start; e < end; ++e) {
      const double v = view[e].dValue;
      block &= (v == v) & !(e > 0 && v < view[e - 1].dValue);
      fractions += mensora::internal::Fractional(v) ? 1 : 0;
    }
    ascending = ascending && block;
    whole = whole && fractions == 0;
  }
  return kFactsRead | (ascending ? kAscending : 0) | (whole ? kWhole : 0);
}

// Doubles as ordered integers: a < b exactly when Key(a) < Key(b) (both
// zeros map to 0).
std::int64_t Key(double x) {
  std::int64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits >= 0 ? bits : -(bits & INT64_MAX);
}

// The key halfway from a to z (a <= z), rounded down, or up with `up`.
std::int64_t Middle(std::int64_t a, std::int64_t z, bool up) {
  const std::uint64_t gap = static_cast<std::uint64_t>(z) - static_cast<std::uint64_t>(a);
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + (gap + (up ? 1 : 0)) / 2);
}

double FromKey(std::int64_t key) {
  const std::int64_t bits = key >= 0 ? key : (-key) | INT64_MIN;
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// m * 10^e as the nearest double: one correctly rounded operation on exact
// operands where it can be, else read from its decimal text.
double Decimal(std::int64_t m, int e) {
  static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::int64_t kExact = std::int64_t{1} << 53;
  if (m > -kExact && m < kExact) {
    const auto x = static_cast<double>(m);
    if (e >= 0 && e <= 22) return x * kPowers[e];
    if (e < 0 && e >= -22) return x / kPowers[-e];
  }
  char text[48];
  (void)std::snprintf(text, sizeof text, "%" PRId64 "e%d", m, e);
  return std::strtod(text, nullptr);
}

// floor(b / 10^e) within one, read from b's 17 significant decimal digits
// (so the same on every platform, whatever its long double); false where
// |b| / 10^e reaches 10^17.
bool FloorScaled(double b, int e, std::int64_t& floorM) {
  char text[48];
  (void)std::snprintf(text, sizeof text, "%.16e", std::fabs(b));
  std::int64_t digits = 0;
  const char* c = text;
  for (; *c != '\0' && *c != 'e'; ++c) {
    if (*c >= '0' && *c <= '9') digits = digits * 10 + (*c - '0');
  }
  if (*c != 'e') return false;
  // |b| is digits * 10^shift, rounded in the last digit.
  const int shift = static_cast<int>(std::strtol(c + 1, nullptr, 10)) - 16;
  std::int64_t whole = digits;
  if (e >= shift) {
    for (int i = shift; i < e && whole > 0; ++i) whole /= 10;
  } else {
    if (e < shift - 1) return false;
    whole *= 10;
  }
  if (whole >= std::int64_t{100000000000000000}) return false;
  floorM = b < 0.0 ? -whole - 1 : whole;
  return true;
}

// The number with the fewest significant digits in [lo, hi] (finite, lo <= b
// <= hi), the nearest to b among them (the lower of two as near).
double Roundest(double lo, double hi, double b) {
  if (lo <= 0.0 && 0.0 <= hi) return 0.0;
  const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
  // One power above the estimate: a log10 rounded down must not skip one.
  for (int e = static_cast<int>(std::floor(std::log10(magnitude))) + 1; e >= -345; --e) {
    std::int64_t floorM = 0;
    if (!FloorScaled(b, e, floorM)) break;
    bool found = false;
    double best = b;
    for (std::int64_t m = floorM - 1; m <= floorM + 2; ++m) {
      const double x = Decimal(m, e);
      if (!(x >= lo && x <= hi)) continue;
      if (!found || std::fabs(x - b) < std::fabs(best - b)) best = x;
      found = true;
    }
    if (found) return best;
  }
  return b;
}

// Whether a break keeps its exact value: NaN, infinite, or an outer break of
// the standard-deviation classes.
bool Fixed(double b) { return !(std::fabs(b) < HUGE_BOUND); }

// The widest class beside break s whose breaks both move: how far an
// interval without a value on one side reaches out on that side.
double Reach(const double* breaks, std::int32_t k, std::int32_t s) {
  double reach = 0.0;
  if (s > 0 && !Fixed(breaks[s - 1])) reach = breaks[s] - breaks[s - 1];
  if (s < k && !Fixed(breaks[s + 1])) reach = std::max(reach, breaks[s + 1] - breaks[s]);
  return std::isfinite(reach) ? reach : 0.0;
}

// The interval of break s < k: the doubles c with the same values below them
// (!(v >= c)) as the exact break.
void LowerBreakInterval(const SortedValues& values, double b, double& lo, double& hi) {
  const std::int64_t below = values.PartitionPoint([b](double v) { return v < b; });
  lo = below > 0 ? std::nextafter(values[below - 1], HUGE_VAL) : -HUGE_VAL;
  hi = below < values.count ? values[below] : HUGE_VAL;
}

// The interval of the last break: the finite doubles c that end the last
// class after the same values as the exact break, under its closing rule
// (which can depend on c). That count never falls as c rises, so each end
// of the interval is found by bisection over the doubles.
// The number of values at or below the end of the last class, for breaks
// from `first` to `high`.
std::int64_t WithinLastClass(const SortedValues& values, double top, LastClass last,
                             double first, double high) {
  const LastClassEnd end = ResolveLastClass(last, top, first, high);
  return values.PartitionPoint([&](double v) { return end.Takes(v, high); });
}

void LastBreakInterval(const SortedValues& values, double top, double first, double b,
                       LastClass last, double& lo, double& hi) {
  const auto within = [&](double c) { return WithinLastClass(values, top, last, first, c); };
  const std::int64_t count = within(b);
  std::int64_t a = Key(-DBL_MAX);  // the first key whose count reaches `count`
  std::int64_t z = Key(b);
  while (a < z) {
    const std::int64_t mid = Middle(a, z, false);
    if (within(FromKey(mid)) >= count) {
      z = mid;
    } else {
      a = mid + 1;
    }
  }
  lo = FromKey(a);
  a = Key(b);  // the last key whose count stays at `count`
  z = Key(DBL_MAX);
  while (a < z) {
    const std::int64_t mid = Middle(a, z, true);
    if (within(FromKey(mid)) <= count) {
      a = mid;
    } else {
      z = mid - 1;
    }
  }
  hi = FromKey(a);
  if (lo == -DBL_MAX) lo = -HUGE_VAL;
  if (hi == DBL_MAX) hi = HUGE_VAL;
}

// The round breaks of breaks[0..k] (never descending, none NaN) over the
// values of a sample whose view ends in `top`.
void RoundBreaks(const SortedValues& values, double top, const double* breaks, std::int32_t k,
                 LastClass last, double* rounded, double* lo, double* hi) {
  for (std::int32_t s = 0; s <= k; ++s) {
    const double b = breaks[s];
    if (Fixed(b)) {
      lo[s] = hi[s] = b;
      continue;
    }
    if (s < k) {
      LowerBreakInterval(values, b, lo[s], hi[s]);
    } else {
      LastBreakInterval(values, top, breaks[0], b, last, lo[s], hi[s]);
    }
    const double reach = Reach(breaks, k, s);
    if (std::isinf(lo[s])) lo[s] = std::min(b, b - reach);
    if (std::isinf(hi[s])) hi[s] = std::max(b, b + reach);
    lo[s] = std::max(lo[s], -DBL_MAX);
    hi[s] = std::min(hi[s], DBL_MAX);
  }
  // In order: no break above the highest place of a later one, none below
  // the place taken by an earlier one.
  for (std::int32_t s = k - 1; s >= 0; --s) hi[s] = std::min(hi[s], hi[s + 1]);
  for (std::int32_t s = 0; s <= k; ++s) {
    if (s > 0) lo[s] = std::max(lo[s], rounded[s - 1]);
    rounded[s] = Fixed(breaks[s]) ? breaks[s] : Roundest(lo[s], hi[s], breaks[s]);
  }
  // The closing of the last class may also read the first break; where the
  // round first break changed it, the breaks stay exact.
  if (WithinLastClass(values, top, last, rounded[0], rounded[k]) !=
      WithinLastClass(values, top, last, breaks[0], breaks[k])) {
    std::copy(breaks, breaks + k + 1, rounded);
  }
}

}  // namespace

std::int32_t CMensora::DataSecRoundBreaks(std::int32_t bStdSec, double** ppSecBreak,
                                          std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                          std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  const bool stdSet = bStdSec != 0;
  const std::int32_t k = stdSet ? m_lStdNum : m_lSecNum;
  double* breaks = stdSet ? m_pStdBreak : m_pSecBreak;
  if (!out.Complete() || k <= 0 || breaks == nullptr || m_pOrderData == nullptr ||
      m_lOrderNum <= 0) {
    return -1;
  }
  bool ascending = true;
  for (std::int32_t s = 0; s <= k; ++s) {
    if (std::isnan(breaks[s]) || (s > 0 && breaks[s] < breaks[s - 1])) ascending = false;
  }
  if (ascending) {
    // The round breaks and the two ends of the range of each.
    WorkArray<double> work(3 * (static_cast<std::int64_t>(k) + 1));
    if (!work) return -1;
    SortedNumbers numbers;
    SortedValues values{m_pOrderData, nullptr, m_lOrderNum};
    if (m_lViewFacts == 0) m_lViewFacts = ReadView(m_pOrderData, m_lOrderNum);
    if ((m_lViewFacts & kAscending) == 0) {
      if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
      values = SortedValues{nullptr, numbers.values.get(), numbers.count};
    }
    const std::int64_t size = static_cast<std::int64_t>(k) + 1;
    double* rounded = work.get();
    const auto last = static_cast<LastClass>(stdSet ? m_lStdLast : m_lSecLast);
    RoundBreaks(values, m_pOrderData[m_lOrderNum - 1].dValue, breaks, k, last, rounded,
                rounded + size, rounded + 2 * size);
    std::copy(rounded, rounded + k + 1, breaks);
  }
  *ppSecBreak = breaks;
  *pBreakNum = k + 1;
  *ppSecID = stdSet ? m_pStdID : m_pSecID;
  *ppSecIDNum = stdSet ? m_pStdIDNum : m_pSecIDNum;
  return 1;
}

std::int32_t CMensora::DataSecLastClass(std::int32_t bStdSec) const {
  const bool stdSet = bStdSec != 0;
  if ((stdSet ? m_lStdNum : m_lSecNum) <= 0) return -1;
  switch (static_cast<LastClass>(stdSet ? m_lStdLast : m_lSecLast)) {
    case LastClass::kOpen: return 0;
    case LastClass::kClosed: return 1;
    case LastClass::kClosing: return 2;
  }
  return -1;
}

// Over a view that ascends the members of a class, in view order, ascend
// too: the first and the last are the extremes. Otherwise every member is read.
std::int32_t CMensora::DataSecClassExtremes(std::int32_t bStdSec, double* pLowest,
                                            double* pHighest, std::int32_t* pWhole) {
  const bool stdSet = bStdSec != 0;
  const std::int32_t k = stdSet ? m_lStdNum : m_lSecNum;
  const std::int32_t* counts = stdSet ? m_pStdIDNum : m_pSecIDNum;
  const std::int32_t* ids = stdSet ? m_pStdID : m_pSecID;
  if (pLowest == nullptr || pHighest == nullptr || pWhole == nullptr || k <= 0 ||
      counts == nullptr || m_pOrderData == nullptr) {
    return -1;
  }
  if (m_lViewFacts == 0) m_lViewFacts = ReadView(m_pOrderData, m_lOrderNum);
  const bool ascending = (m_lViewFacts & kAscending) != 0;
  std::int64_t next = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    const std::int64_t first = next;
    next += counts[s];
    double lowest = std::numeric_limits<double>::quiet_NaN();
    double highest = lowest;
    if (next > first && ascending) {
      lowest = m_pData[ids[first]];
      highest = m_pData[ids[next - 1]];
    } else if (next > first) {
      lowest = HUGE_VAL;
      highest = -HUGE_VAL;
      for (std::int64_t i = first; i < next; ++i) {
        lowest = std::min(lowest, m_pData[ids[i]]);
        highest = std::max(highest, m_pData[ids[i]]);
      }
    }
    pLowest[s] = lowest;
    pHighest[s] = highest;
  }
  *pWhole = (m_lViewFacts & kWhole) != 0 ? 1 : 0;
  return 1;
}
