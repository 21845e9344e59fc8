#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/range_result.h"
#include "support/test_access.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

RangeResult Breaks(std::vector<double> data, const std::vector<double>& breaks) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  return RunClasses(m, [&breaks](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                                 std::int32_t** c) {
    return o.DataSecByBreaks(breaks.data(), static_cast<std::int32_t>(breaks.size()), b, n, i, c);
  });
}

RangeResult Percentiles(std::vector<double> data, const std::vector<double>& percents) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  return RunClasses(m, [&percents](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                                   std::int32_t** c) {
    return o.DataSecByPercentile(percents.data(), static_cast<std::int32_t>(percents.size()), b,
                                 n, i, c);
  });
}

}  // namespace

// Closed below, the last class also above; values outside the breaks, and
// NaN, are in no class; a repeated break leaves an empty class.
TEST(GivenBreaks, ClassesBetweenTheCallersBreaks) {
  const std::vector<double> data{12, -3, 0, 5, 10, 7.5, 20, kNaN, 10, 4.999};
  RangeResult r = Breaks(data, {0, 5, 10});
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{0, 5, 10}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 9}), r.classes[0]);
  EXPECT_EQ(4, r.counts[1]);

  r = Breaks(data, {0, 5, 5, 10, 10});
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<std::int32_t>{2, 0, 2, 2}), r.counts);  // [5, 5) empty, [10, 10] the tens
}

TEST(GivenBreaks, BadBreaksFailWithNothingTouched) {
  std::vector<double> data{1, 2, 3};
  CMensora m(data.data(), 3);
  const std::vector<std::vector<double>> bad{{}, {1}, {0, kNaN}, {0, kInf}, {-kInf, 1}, {2, 1}};
  for (const auto& breaks : bad) {
    double* b = nullptr;
    std::int32_t n = -7;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    EXPECT_EQ(-1, m.DataSecByBreaks(breaks.empty() ? nullptr : breaks.data(),
                                    static_cast<std::int32_t>(breaks.size()), &b, &n, &ids,
                                    &counts));
    EXPECT_EQ(-7, n);
    EXPECT_EQ(nullptr, b);
  }
  EXPECT_EQ(nullptr, MensoraTestAccess::SecBreak(m));
  const double ok[] = {0, 1};
  double* b = nullptr;
  std::int32_t* ids = nullptr;
  EXPECT_EQ(-1, m.DataSecByBreaks(ok, 2, &b, nullptr, &ids, &ids));
  CMensora empty(data.data(), 0);
  std::int32_t n = 0;
  EXPECT_EQ(-1, empty.DataSecByBreaks(ok, 2, &b, &n, &ids, &ids));
}

// The breaks of the last result may be handed back in: they are copied
// before the buffer they stand in is replaced.
TEST(GivenBreaks, TheLastResultsBreaksAsInput) {
  std::vector<double> data{9, 1, 5, 3, 7};
  CMensora m(data.data(), 5);
  double* b = nullptr;
  std::int32_t n = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  ASSERT_EQ(1, m.DataSecByMaxMin(2, &b, &n, &ids, &counts));
  ASSERT_EQ(1, m.DataSecByBreaks(b, n, &b, &n, &ids, &counts));
  EXPECT_EQ((std::vector<double>{1, 5, 9}), std::vector<double>(b, b + n));
  EXPECT_EQ((std::vector<std::int32_t>{2, 3}), std::vector<std::int32_t>(counts, counts + 2));
}

// Values checked with R's quantile(x, p / 100) (type 7).
TEST(Percentiles, InterpolateLinearlyBetweenOrderStatistics) {
  const std::vector<double> data{34, 2, 1, 55, kNaN, 13, 3, 21, 2, 8, 5};
  RangeResult r = Percentiles(data, {0, 10, 25, 50, 90, 100});
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, 1.8999999999999999, 2.25, 6.5, 36.099999999999994, 55}),
            r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 2, 4, 1}), r.counts);

  r = Percentiles({3.5, 1.25, 8, 2, 9.75, 4.5, 7}, {33, 67});
  EXPECT_EQ((std::vector<double>{3.4699999999999998, 7.0200000000000005}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{3}), r.counts);  // 3.5, 4.5 and 7; the rest outside
}

// Between an infinite and a finite statistic the percentile is infinite;
// between -inf and +inf it takes the nearer one. No value but NaN gives NaN
// breaks and empty classes.
TEST(Percentiles, InfinitiesAndNoValues) {
  const std::vector<double> data{kInf, 5, -kInf};
  RangeResult r = Percentiles(data, {0, 25, 50, 100});
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{-kInf, -kInf, 5, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2}), r.counts);
  r = Percentiles({kInf, -kInf}, {40, 50, 60});
  EXPECT_EQ((std::vector<double>{-kInf, kInf, kInf}), r.breaks);

  r = Percentiles({kNaN, kNaN}, {0, 100});
  ASSERT_EQ(1, r.status);
  EXPECT_TRUE(std::isnan(r.breaks[0]) && std::isnan(r.breaks[1]));
  EXPECT_EQ((std::vector<std::int32_t>{0}), r.counts);

  for (const auto& bad : std::vector<std::vector<double>>{{50}, {-1, 50}, {50, 100.5}, {60, 40},
                                                          {0, kNaN}}) {
    EXPECT_EQ(-1, Percentiles({1, 2}, bad).status);
  }
}
