#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "Mensora.h"
#include "support/range_result.h"
#include "support/thread_setting.h"
#include "support/test_access.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

RangeResult Natural(const std::vector<double>& data, std::int32_t k) {
  return RunRange(data, &CMensora::DataSecByNaturalBreaks, k);
}

// Distinct values that are not NaN, ascending, with their counts.
std::vector<std::pair<double, std::int64_t>> DistinctPoints(const std::vector<double>& data) {
  std::map<double, std::int64_t> runs;
  for (double v : data) {
    if (!std::isnan(v)) ++runs[v];
  }
  return {runs.begin(), runs.end()};
}

// Sum of squared deviations from the mean, two passes.
double TwoPassCost(const std::vector<double>& values) {
  double sum = 0.0;
  for (double v : values) sum += v;
  const double mean = sum / static_cast<double>(values.size());
  double cost = 0.0;
  for (double v : values) cost += (v - mean) * (v - mean);
  return cost;
}

double ResultCost(const std::vector<double>& data, const RangeResult& r) {
  double total = 0.0;
  for (const auto& members : r.classes) {
    if (members.empty()) continue;
    std::vector<double> values;
    for (std::int32_t id : members) values.push_back(data[id]);
    total += TwoPassCost(values);
  }
  return total;
}

// The least two-pass cost of any partition of the distinct values that are
// not NaN into min(k, d) classes, trying every one.
double BestTwoPassCost(const std::vector<double>& data, std::int32_t k) {
  const auto points = DistinctPoints(data);
  const std::size_t d = points.size();
  double best = kInf;
  for (unsigned mask = 0; mask < (1u << (d - 1)); ++mask) {
    if (__builtin_popcount(mask) + 1 != std::min<std::int64_t>(k, d)) continue;
    double cost = 0.0;
    std::vector<double> cls;
    for (std::size_t i = 0; i < d; ++i) {
      cls.insert(cls.end(), static_cast<std::size_t>(points[i].second), points[i].first);
      if (i + 1 == d || (mask >> i & 1u)) {
        cost += TwoPassCost(cls);
        cls.clear();
      }
    }
    best = std::min(best, cost);
  }
  return best;
}

// Index (among the distinct values) of the smallest member of each
// non-empty class.
std::vector<int> ResultStarts(const std::vector<double>& data, const RangeResult& r,
                              const std::vector<std::pair<double, std::int64_t>>& points) {
  std::vector<int> starts;
  for (const auto& members : r.classes) {
    if (members.empty()) continue;
    double low = kInf;
    for (std::int32_t id : members) low = std::min(low, data[id]);
    const auto at = std::lower_bound(points.begin(), points.end(), std::make_pair(low, std::int64_t{0}));
    starts.push_back(static_cast<int>(at - points.begin()));
  }
  return starts;
}

// Exact cost, times lcm(1..12), of integer points split at the set bits of
// mask (bit g set: a class begins at point g + 1).
std::int64_t ExactCost(const std::vector<std::pair<double, std::int64_t>>& points, unsigned mask) {
  const std::int64_t scale = 27720;
  std::int64_t total = 0, w = 0, s = 0, q = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto v = static_cast<std::int64_t>(points[i].first);
    w += points[i].second;
    s += points[i].second * v;
    q += points[i].second * v * v;
    if (i + 1 == points.size() || (mask >> i & 1u)) {
      total += (w * q - s * s) * (scale / w);
      w = s = q = 0;
    }
  }
  return total;
}

std::vector<int> MaskStarts(unsigned mask, std::size_t d) {
  std::vector<int> starts{0};
  for (std::size_t g = 0; g + 1 < d; ++g) {
    if (mask >> g & 1u) starts.push_back(static_cast<int>(g + 1));
  }
  return starts;
}

std::vector<double> RandomIntegers(std::mt19937& rng, int n, int range, bool withNaN) {
  std::uniform_int_distribution<int> value(0, range);
  std::uniform_int_distribution<int> nan(0, 9);
  std::vector<double> data;
  for (int i = 0; i < n; ++i) {
    data.push_back(withNaN && nan(rng) == 0 ? kNaN : static_cast<double>(value(rng)));
  }
  return data;
}

}  // namespace

// Every partition of the distinct values into at most k classes, in exact
// integer arithmetic: the result is an optimum, and the optimum with the
// lexicographically smallest class starts.
TEST(NaturalBreaks, ExactOptimumAndTieRuleAgainstEveryPartition) {
  std::mt19937 rng(20261207);
  for (int trial = 0; trial < 4000; ++trial) {
    const int n = 1 + static_cast<int>(rng() % 12);
    const int range = 1 + static_cast<int>(rng() % 20);
    const auto data = RandomIntegers(rng, n, range, trial % 3 == 0);
    const auto k = static_cast<std::int32_t>(1 + rng() % 6);
    const auto points = DistinctPoints(data);
    const RangeResult r = Natural(data, k);
    SCOPED_TRACE(::testing::Message() << "trial " << trial << " k " << k);
    ExpectRangeInvariants(data, r, k);
    if (points.empty()) continue;

    const std::size_t d = points.size();
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    std::vector<int> bestStarts;
    for (unsigned mask = 0; mask < (1u << (d - 1)); ++mask) {
      if (__builtin_popcount(mask) + 1 > k) continue;
      const std::int64_t cost = ExactCost(points, mask);
      const auto starts = MaskStarts(mask, d);
      if (cost < best || (cost == best && starts < bestStarts)) {
        best = cost;
        bestStarts = starts;
      }
    }
    const auto got = ResultStarts(data, r, points);
    EXPECT_EQ(static_cast<std::size_t>(std::min<std::int64_t>(k, d)), got.size());
    unsigned gotMask = 0;
    for (std::size_t c = 1; c < got.size(); ++c) gotMask |= 1u << (got[c] - 1);
    EXPECT_EQ(best, ExactCost(points, gotMask));
    EXPECT_EQ(bestStarts, got);
    // break[s] is the smallest value of class s.
    for (std::size_t s = 0; s < r.classes.size(); ++s) {
      if (r.classes[s].empty()) continue;
      double low = kInf;
      for (std::int32_t id : r.classes[s]) low = std::min(low, data[id]);
      EXPECT_EQ(low, r.breaks[s]);
    }
  }
}

// Longer integer samples against a plain programme in exact integer
// arithmetic, rows scanning many columns: the optimum with the
// lexicographically smallest class starts.
TEST(NaturalBreaks, ExactTieRuleOnLongerIntegerSamples) {
  std::mt19937 rng(26);
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = 13 + static_cast<int>(rng() % 12);
    const auto data = RandomIntegers(rng, n, trial % 2 == 0 ? 30 : 8, false);
    const auto k = static_cast<std::int32_t>(2 + rng() % 7);
    const auto points = DistinctPoints(data);
    const auto d = static_cast<int>(points.size());
    const auto cost = [&points](int i, int j) {  // points i..j-1, times lcm(1..24)
      std::int64_t w = 0, s = 0, q = 0;
      for (auto p = points.begin() + i; p != points.begin() + j; ++p) {
        w += p->second;
        s += p->second * static_cast<std::int64_t>(p->first);
        q += p->second * static_cast<std::int64_t>(p->first * p->first);
      }
      return (w * q - s * s) * (5354228880 / w);
    };
    // best[c][i], next[c][i]: points i..d-1 in c classes, by the smallest next start.
    std::vector<std::vector<std::int64_t>> best(9, std::vector<std::int64_t>(d, INT64_MAX));
    std::vector<std::vector<int>> next(9, std::vector<int>(d, d));
    for (int i = 0; i < d; ++i) best[1][i] = cost(i, d);
    for (int c = 2; c <= std::min(k, d); ++c) {
      for (int i = 0; i + c <= d; ++i) {
        for (int j = i + 1; j + c - 1 <= d; ++j) {
          const std::int64_t total = cost(i, j) + best[c - 1][j];
          if (total < best[c][i]) {
            best[c][i] = total;
            next[c][i] = j;
          }
        }
      }
    }
    std::vector<int> expected{0};
    for (int c = std::min(k, d); c >= 2; --c) expected.push_back(next[c][expected.back()]);
    EXPECT_EQ(expected, ResultStarts(data, Natural(data, k), points)) << "trial " << trial;
  }
}

// Real values with ties: no partition has a smaller cost.
TEST(NaturalBreaks, OptimalOnRealValuesAgainstEveryPartition) {
  std::mt19937 rng(77);
  std::normal_distribution<double> normal(0.0, 1.0);
  for (int trial = 0; trial < 1500; ++trial) {
    const int n = 2 + static_cast<int>(rng() % 11);
    std::vector<double> data;
    for (int i = 0; i < n; ++i) {
      data.push_back(i > 0 && rng() % 4 == 0 ? data[rng() % i] : 1e3 + normal(rng) * 10.0);
    }
    const auto k = static_cast<std::int32_t>(2 + rng() % 4);
    const RangeResult r = Natural(data, k);
    ExpectRangeInvariants(data, r, k);
    const double best = BestTwoPassCost(data, k);
    EXPECT_LE(ResultCost(data, r), best * (1.0 + 1e-12) + 1e-12) << "trial " << trial;
  }
}

// A few sentinel values far from the rest (999999 among values below 1) make
// the sum of squares about the median dwarf the costs of the other classes;
// the small differences between partitions of the other values still count.
// (Where the far values are the majority, the median lies among them and
// the costs of the others are lost in rounding: not tested.)
TEST(NaturalBreaks, FewFarSentinelValuesDoNotBlurTheOtherClasses) {
  const std::vector<double> data{0.20, 0.00, 999999, 0.11, 0.01, 0.10, 999999, 0.21, 0.02, 0.12};
  EXPECT_EQ((std::vector<double>{0.00, 0.10, 0.20, 999999, 999999}), Natural(data, 4).breaks);

  std::mt19937 rng(19);
  std::normal_distribution<double> normal(0.0, 1.0);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 3 + static_cast<int>(rng() % 9);
    const double spread = trial % 2 == 0 ? 0.01 : 1.0;
    std::vector<double> data;
    for (int i = 0; i < n; ++i) data.push_back(normal(rng) * spread);
    for (int i = 0; i < 1 + n / 4; ++i) data.push_back(999999.0);
    const auto k = static_cast<std::int32_t>(2 + rng() % 4);
    const RangeResult r = Natural(data, k);
    ExpectRangeInvariants(data, r, k);
    const double best = BestTwoPassCost(data, k);
    EXPECT_LE(ResultCost(data, r), best * (1.0 + 1e-9)) << "trial " << trial;
  }
}

// A straightforward O(k d^2) programme over the distinct points on larger
// samples, where every partition is too many.
TEST(NaturalBreaks, MatchesQuadraticProgrammeOnLargerSamples) {
  std::mt19937 rng(5);
  std::lognormal_distribution<double> skewed(3.0, 1.0);
  for (int trial = 0; trial < 12; ++trial) {
    std::vector<double> data;
    const int n = 150 + trial * 25;
    for (int i = 0; i < n; ++i) data.push_back(std::round(skewed(rng) * 10.0) / 10.0);
    const auto points = DistinctPoints(data);
    const std::size_t d = points.size();
    const auto k = static_cast<std::int32_t>(2 + trial % 9);
    std::vector<double> pw(d + 1, 0.0), ps(d + 1, 0.0), pq(d + 1, 0.0);
    for (std::size_t i = 0; i < d; ++i) {
      const double w = static_cast<double>(points[i].second), v = points[i].first;
      pw[i + 1] = pw[i] + w;
      ps[i + 1] = ps[i] + w * v;
      pq[i + 1] = pq[i] + w * v * v;
    }
    auto cost = [&](std::size_t i, std::size_t j) {
      const double s = ps[j] - ps[i];
      return (pq[j] - pq[i]) - s * s / (pw[j] - pw[i]);
    };
    std::vector<double> row(d + 1, kInf), next(d + 1);
    row[0] = 0.0;
    for (std::int32_t c = 1; c <= k; ++c) {
      std::fill(next.begin(), next.end(), kInf);
      for (std::size_t j = 1; j <= d; ++j) {
        for (std::size_t i = 0; i < j; ++i) next[j] = std::min(next[j], row[i] + cost(i, j));
      }
      row.swap(next);
    }
    const RangeResult r = Natural(data, k);
    ExpectRangeInvariants(data, r, k);
    EXPECT_NEAR(row[d], ResultCost(data, r), 1e-7 * row[d]) << "trial " << trial;
  }
}

// Same multiset, every order, either sort of the view: bit-identical breaks
// and counts.
TEST(NaturalBreaks, SameBreaksForEveryOrderOfTheSameMultiset) {
  std::mt19937 rng(11);
  const std::vector<double> base{3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 0.0, -0.0, 8, 9, 7, 9, kNaN};
  for (std::int32_t k = 1; k <= 8; ++k) {
    const RangeResult first = Natural(base, k);
    std::vector<double> data = base;
    for (int order = 0; order < 40; ++order) {
      std::shuffle(data.begin(), data.end(), rng);
      CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
      if (order % 2 == 1) {
        double* sub = nullptr;
        std::int32_t subNum = 0;
        m.SubSectionNum(&sub, 1, &subNum);  // view by the exchange sort
      }
      const RangeResult r = RunRange(m, &CMensora::DataSecByNaturalBreaks, k);
      ExpectRangeInvariants(data, r, k);
      ASSERT_EQ(first.breaks.size(), r.breaks.size());
      for (std::size_t s = 0; s < r.breaks.size(); ++s) {
        EXPECT_EQ(0, std::memcmp(&first.breaks[s], &r.breaks[s], sizeof(double))) << k << " " << s;
      }
      EXPECT_EQ(first.counts, r.counts);
    }
  }
}

// Large samples take the threaded path: the same classes on one thread and
// on several. Consecutive integers 0..4L+1 in four classes: every partition
// into sizes L, L, L+1, L+1 costs exactly the same (about 10^13), and the
// tie goes to the smallest class starts 0, L, 2L, 3L+1. A layer whose rows
// all take one column (0..39999 and one far value) splits no further and is
// solved as it stands.
TEST(NaturalBreaks, LargeSamplesSameOnEveryNumberOfThreadsAndExactTies) {
  constexpr int kL = 1 << 15;
  std::vector<double> ties(4 * kL + 2);
  std::iota(ties.begin(), ties.end(), 0.0);
  std::mt19937 rng(3);
  std::shuffle(ties.begin(), ties.end(), rng);
  std::lognormal_distribution<double> skewed(6.0, 1.2);
  std::vector<double> areas(70000);
  for (double& v : areas) v = skewed(rng);

  std::vector<double> far(40000);
  std::iota(far.begin(), far.end(), 0.0);
  far.push_back(1e308);

  std::vector<RangeResult> results;
  for (const char* threads : {"1", "2", "4"}) {
    SetMensoraThreads(threads);
    results.push_back(Natural(ties, 4));
    results.push_back(Natural(areas, 12));
    EXPECT_EQ((std::vector<double>{0, 1e308, 1e308}), Natural(far, 2).breaks) << threads;
  }
  SetMensoraThreads(nullptr);
  EXPECT_EQ((std::vector<double>{0, kL, 2 * kL, 3 * kL + 1, 4 * kL + 1}), results[0].breaks);
  EXPECT_EQ((std::vector<std::int32_t>{kL, kL, kL + 1, kL + 1}), results[0].counts);
  ExpectRangeInvariants(areas, results[1], 12);
  for (std::size_t r = 2; r < results.size(); ++r) {
    const RangeResult& first = results[r % 2];
    EXPECT_EQ(first.breaks, results[r].breaks) << r;
    EXPECT_EQ(first.counts, results[r].counts) << r;
    EXPECT_EQ(first.ids, results[r].ids) << r;
  }
}

TEST(NaturalBreaks, WorkedExamplesAndEqualCostTies) {
  // Two clear groups.
  RangeResult r = Natural({10, 1, 11, 2, 12, 3}, 2);
  EXPECT_EQ((std::vector<double>{1, 10, 12}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 3, 5, 0, 2, 4}), r.ids);
  // {0,1 | 2,3,4} and {0,1,2 | 3,4} cost 2.5 each: the smaller second start.
  EXPECT_EQ((std::vector<double>{0, 2, 4}), Natural({4, 3, 2, 1, 0}, 2).breaks);
  EXPECT_EQ((std::vector<double>{0, 1, 2}), Natural({0, 1, 2}, 2).breaks);
  // Equal values are never split: the weight of the 5s decides.
  r = Natural({1, 2, 5, 5, 5, 5, 6}, 2);
  EXPECT_EQ((std::vector<double>{1, 5, 6}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 5}), r.counts);
}

// Fewer distinct values than classes: one class per distinct value, the empty
// classes just before the last one, which holds every copy of the maximum.
TEST(NaturalBreaks, FewerDistinctValuesThanClasses) {
  RangeResult r = Natural({7, 3, 7, 3, 5}, 5);
  EXPECT_EQ((std::vector<double>{3, 5, 7, 7, 7, 7}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 1, 0, 0, 2}), r.counts);
  EXPECT_EQ((std::vector<std::int32_t>{3, 1, 4, 0, 2}), r.ids);  // view order
  r = Natural({2, 2, 2}, 3);
  EXPECT_EQ((std::vector<double>{2, 2, 2, 2}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{0, 0, 3}), r.counts);
  r = Natural({4, 9}, 1);
  EXPECT_EQ((std::vector<double>{4, 9}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2}), r.counts);
}

TEST(NaturalBreaks, NaNValuesInNoClassAndAllNaNGivesEmptyClasses) {
  const std::vector<double> data{kNaN, 1, 2, kNaN, 10, 11};
  RangeResult r = Natural(data, 2);
  ExpectRangeInvariants(data, r, 2);
  EXPECT_EQ((std::vector<double>{1, 10, 11}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 4, 5}), r.ids);

  r = Natural({kNaN, kNaN}, 3);
  ASSERT_EQ(1, r.status);
  EXPECT_EQ((std::vector<std::int32_t>{0, 0, 0}), r.counts);
  EXPECT_TRUE(r.ids.empty());
  for (double b : r.breaks) EXPECT_TRUE(std::isnan(b));
}

// Infinite values form classes of their own while the count allows, and
// the finite values are split optimally among the remaining classes.
TEST(NaturalBreaks, InfiniteValuesTakeClassesOfTheirOwn) {
  const std::vector<double> data{kInf, 1, 2, -kInf, 10, 11, kInf, kNaN};
  RangeResult r = Natural(data, 4);
  ExpectRangeInvariants(data, r, 4);
  EXPECT_EQ((std::vector<double>{-kInf, 1, 10, kInf, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 2, 2}), r.counts);
  // Three classes: -inf alone, +inf alone, the finite values together.
  r = Natural(data, 3);
  ExpectRangeInvariants(data, r, 3);
  EXPECT_EQ((std::vector<double>{-kInf, 1, kInf, kInf}), r.breaks);
  // Two classes: -inf alone, +inf joins the finite values.
  r = Natural(data, 2);
  ExpectRangeInvariants(data, r, 2);
  EXPECT_EQ((std::vector<double>{-kInf, 1, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 6}), r.counts);
  // +inf only.
  r = Natural({5, kInf, 6, 100, 101}, 3);
  EXPECT_EQ((std::vector<double>{5, 100, kInf, kInf}), r.breaks);
  // Extreme finite values do not overflow the sums.
  r = Natural({-1e308, -0.9e308, 1e308, 0.95e308, 1e-300}, 3);
  EXPECT_EQ((std::vector<double>{-1e308, 1e-300, 0.95e308, 1e308}), r.breaks);
}

// Bad input: -1, nothing touched, not even the sorted view.
TEST(NaturalBreaks, RejectsBadInputAndTouchesNothing) {
  double v[] = {3, 1, 2};
  double* br = nullptr;
  std::int32_t bn = -5;
  std::int32_t* ids = nullptr;
  std::int32_t* cnt = nullptr;
  for (RangeMethod method : {&CMensora::DataSecByNaturalBreaks, &CMensora::DataSecByQuantile}) {
    CMensora none(nullptr, 3);
    EXPECT_EQ(-1, (none.*method)(2, &br, &bn, &ids, &cnt));
    CMensora empty(v, 0);
    EXPECT_EQ(-1, (empty.*method)(2, &br, &bn, &ids, &cnt));
    CMensora m(v, 3);
    EXPECT_EQ(-1, (m.*method)(0, &br, &bn, &ids, &cnt));
    EXPECT_EQ(-1, (m.*method)(-3, &br, &bn, &ids, &cnt));
    EXPECT_EQ(-1, (m.*method)(INT32_MAX, &br, &bn, &ids, &cnt));
    EXPECT_EQ(-1, (m.*method)(2, nullptr, &bn, &ids, &cnt));
    EXPECT_EQ(-1, (m.*method)(2, &br, nullptr, &ids, &cnt));
    EXPECT_EQ(-1, (m.*method)(2, &br, &bn, nullptr, &cnt));
    EXPECT_EQ(-1, (m.*method)(2, &br, &bn, &ids, nullptr));
    EXPECT_EQ(nullptr, br);
    EXPECT_EQ(-5, bn);
    EXPECT_EQ(nullptr, ids);
    EXPECT_EQ(nullptr, cnt);
    EXPECT_EQ(0, MensoraTestAccess::Ordered(m));
    EXPECT_EQ(nullptr, MensoraTestAccess::SecBreak(m));
  }
}

// The range-class buffers are shared with DataSecByMaxMin; the
// standard-deviation buffers are left alone.
TEST(NaturalBreaks, ReplacesTheRangeBuffersOnly) {
  double v[] = {1, 2, 3, 10, 11, 12};
  CMensora m(v, 6);
  double* sb = nullptr;
  std::int32_t sn = 0;
  std::int32_t* sid = nullptr;
  std::int32_t* scnt = nullptr;
  ASSERT_EQ(1, m.DataSecByAverStd(1, 1.0, &sb, &sn, &sid, &scnt));
  ASSERT_EQ(1, RunRange(m, &CMensora::DataSecByMaxMin, 3).status);
  const RangeResult r = RunRange(m, &CMensora::DataSecByNaturalBreaks, 2);
  EXPECT_EQ(r.breaks, std::vector<double>(MensoraTestAccess::SecBreak(m),
                                          MensoraTestAccess::SecBreak(m) + 3));
  EXPECT_EQ(sb, MensoraTestAccess::StdBreak(m));
  EXPECT_EQ(sid, MensoraTestAccess::StdID(m));
  EXPECT_EQ(scnt, MensoraTestAccess::StdIDNum(m));
  EXPECT_EQ((std::vector<double>{1, 10, 12}), r.breaks);
}
