#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Mensora.h"
#include "support/range_result.h"
#include "support/test_access.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

RangeResult Quantile(const std::vector<double>& data, std::int32_t k) {
  return RunRange(data, &CMensora::DataSecByQuantile, k);
}

}  // namespace

TEST(QuantileClasses, BreaksAtEqualCountPositions) {
  RangeResult r = Quantile({9, 1, 8, 2, 7, 3, 6, 4, 5, 0}, 3);
  EXPECT_EQ((std::vector<double>{0, 3, 6, 9}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{3, 3, 4}), r.counts);
  EXPECT_EQ((std::vector<std::int32_t>{9, 1, 3, 5, 7, 8, 6, 4, 2, 0}), r.ids);
  r = Quantile({4, 1, 3, 2, 5}, 1);
  EXPECT_EQ((std::vector<double>{1, 5}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{5}), r.counts);
}

// A break that falls on a run of equal values takes the whole run into the
// higher class; repeated breaks leave empty classes.
TEST(QuantileClasses, HeavyTiesNeverStraddleABreak) {
  RangeResult r = Quantile({1, 1, 2, 1, 1, 3, 1, 1}, 4);
  EXPECT_EQ((std::vector<double>{1, 1, 1, 2, 3}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{0, 0, 6, 2}), r.counts);
  EXPECT_EQ((std::vector<std::int32_t>{2, 5}), r.classes[3]);

  r = Quantile({7, 7, 7, 7}, 3);
  EXPECT_EQ((std::vector<double>{7, 7, 7, 7}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{0, 0, 4}), r.counts);

  // More classes than values.
  r = Quantile({5, 3}, 4);
  EXPECT_EQ((std::vector<double>{3, 3, 5, 5, 5}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 0, 1}), r.counts);
}

// Positions count only the values that are not NaN; NaN values are in no
// class, with the view built by either sort.
TEST(QuantileClasses, NaNValuesAreNotCountedNorClassified) {
  const std::vector<double> data{kNaN, 4, 1, kNaN, 3, 2};
  RangeResult r = Quantile(data, 2);
  ExpectRangeInvariants(data, r, 2);
  EXPECT_EQ((std::vector<double>{1, 3, 4}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 2}), r.counts);

  // The exchange sort leaves (2, NaN, 1, 3) as (1, 3, NaN, 2): the values
  // are still taken in ascending order and the maximum is not lost.
  std::vector<double> mixed{2, kNaN, 1, 3};
  CMensora m(mixed.data(), 4);
  double* sub = nullptr;
  std::int32_t subNum = 0;
  m.SubSectionNum(&sub, 1, &subNum);
  const double second = MensoraTestAccess::View(m)[1].dValue;  // a copy: records are packed
  ASSERT_EQ(3.0, second);
  r = RunRange(m, &CMensora::DataSecByQuantile, 2);
  ExpectRangeInvariants(mixed, r, 2);
  EXPECT_EQ((std::vector<double>{1, 2, 3}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2}), r.counts);
  const RangeResult natural = RunRange(m, &CMensora::DataSecByNaturalBreaks, 2);
  ExpectRangeInvariants(mixed, natural, 2);

  r = Quantile({kNaN}, 2);
  ASSERT_EQ(1, r.status);
  EXPECT_TRUE(std::isnan(r.breaks[0]) && std::isnan(r.breaks[1]) && std::isnan(r.breaks[2]));
  EXPECT_EQ((std::vector<std::int32_t>{0, 0}), r.counts);
}

TEST(QuantileClasses, InfiniteValuesAreOrdinaryValues) {
  const std::vector<double> data{kInf, 1, -kInf, 2};
  const RangeResult r = Quantile(data, 2);
  ExpectRangeInvariants(data, r, 2);
  EXPECT_EQ((std::vector<double>{-kInf, 2, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 1, 3, 0}), r.ids);
}

// Random samples with ties and NaN: the invariants, the positions, and the
// same breaks for every order of the same multiset.
TEST(QuantileClasses, InvariantsAndOrderIndependenceOnRandomSamples) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 1 + static_cast<int>(rng() % 40);
    std::vector<double> data;
    for (int i = 0; i < n; ++i) {
      data.push_back(rng() % 11 == 0 ? kNaN : static_cast<double>(rng() % 6) - 2.5);
    }
    const auto k = static_cast<std::int32_t>(1 + rng() % 9);
    const RangeResult r = Quantile(data, k);
    ExpectRangeInvariants(data, r, k);

    std::vector<double> sorted;
    for (double v : data) {
      if (!std::isnan(v)) sorted.push_back(v);
    }
    std::sort(sorted.begin(), sorted.end());
    const auto m = static_cast<std::int64_t>(sorted.size());
    if (m == 0) continue;
    for (std::int32_t s = 0; s < k; ++s) EXPECT_EQ(sorted[s * m / k], r.breaks[s]);

    std::shuffle(data.begin(), data.end(), rng);
    const RangeResult again = Quantile(data, k);
    EXPECT_EQ(0, std::memcmp(r.breaks.data(), again.breaks.data(), r.breaks.size() * sizeof(double)));
    EXPECT_EQ(r.counts, again.counts);
  }
}

// A failed call leaves the previous result of the range classes in place.
TEST(QuantileClasses, BadCallKeepsThePreviousResult) {
  double v[] = {5, 1, 4, 2, 3};
  CMensora m(v, 5);
  const RangeResult first = RunRange(m, &CMensora::DataSecByQuantile, 2);
  const double* breaks = MensoraTestAccess::SecBreak(m);
  EXPECT_EQ(-1, RunRange(m, &CMensora::DataSecByQuantile, 0).status);
  EXPECT_EQ(breaks, MensoraTestAccess::SecBreak(m));
  EXPECT_EQ(first.breaks, std::vector<double>(breaks, breaks + 3));
}
