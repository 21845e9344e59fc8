// Round breaks for a class result. Each break may take any value that leaves
// the class of every value unchanged: one that keeps the same values below it
// (the lower break of a class), or for the last break the same values within
// the last class under its closing rule. That set is an interval of doubles;
// the roundest number in it is found exponent by exponent, from the largest
// power of ten down: the first power with a multiple in the interval gives
// the fewest significant digits, and its multiple nearest the exact break is
// taken. An interval with no value on one side reaches at most one class
// width out on that side.
#include <algorithm>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::LastClass;
using mensora::internal::LastClassEnd;
using mensora::internal::ResolveLastClass;
using mensora::internal::SortedNumbers;
using mensora::internal::WorkArray;

namespace {

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
  std::snprintf(text, sizeof text, "%" PRId64 "e%d", m, e);
  return std::strtod(text, nullptr);
}

// The number with the fewest significant digits in [lo, hi] (finite, lo <= b
// <= hi), the nearest to b among them (the lower of two as near).
double Roundest(double lo, double hi, double b) {
  if (lo <= 0.0 && 0.0 <= hi) return 0.0;
  const long double magnitude = std::max(std::fabs(lo), std::fabs(hi));
  for (int e = static_cast<int>(std::floor(std::log10(magnitude))); e >= -345; --e) {
    const long double q = static_cast<long double>(b) / std::pow(10.0L, e);
    if (!(std::fabs(q) < 1e18L)) break;
    const auto floorM = static_cast<std::int64_t>(std::floor(q));
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
void LowerBreakInterval(const double* values, std::int32_t m, double b, double& lo, double& hi) {
  const std::int64_t below = std::lower_bound(values, values + m, b) - values;
  lo = below > 0 ? std::nextafter(values[below - 1], HUGE_VAL) : -HUGE_VAL;
  hi = below < m ? values[below] : HUGE_VAL;
}

// The interval of the last break: the finite doubles c that end the last
// class after the same values as the exact break, under its closing rule
// (which can depend on c). That count never falls as c rises, so each end
// of the interval is found by bisection over the doubles.
void LastBreakInterval(const double* values, std::int32_t m, double top, double b,
                       LastClass last, double& lo, double& hi) {
  const auto within = [&](double c) -> std::int64_t {
    const LastClassEnd end = ResolveLastClass(last, top, c);
    return std::partition_point(values, values + m,
                                [&](double v) { return end.Takes(v, c); }) -
           values;
  };
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
// ascending values[0..m-1] (no NaN) of a sample whose view ends in `top`.
void RoundBreaks(const double* values, std::int32_t m, double top, const double* breaks,
                 std::int32_t k, LastClass last, double* rounded, double* lo, double* hi) {
  for (std::int32_t s = 0; s <= k; ++s) {
    const double b = breaks[s];
    if (Fixed(b)) {
      lo[s] = hi[s] = b;
      continue;
    }
    if (s < k) {
      LowerBreakInterval(values, m, b, lo[s], hi[s]);
    } else {
      LastBreakInterval(values, m, top, b, last, lo[s], hi[s]);
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
    SortedNumbers numbers;
    WorkArray<double> work(3 * (static_cast<std::int64_t>(k) + 1));
    if (!work || !CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
    double* rounded = work.get();
    const auto last = static_cast<LastClass>(stdSet ? m_lStdLast : m_lSecLast);
    RoundBreaks(numbers.values.get(), numbers.count, m_pOrderData[m_lOrderNum - 1].dValue,
                breaks, k, last, rounded, rounded + k + 1, rounded + 2 * (k + 1));
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
