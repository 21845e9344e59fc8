#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/range_result.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

RangeResult HeadTail(std::vector<double> data, double share) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  return RunClasses(m, [share](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                               std::int32_t** c) { return o.DataSecByHeadTail(share, b, n, i, c); });
}

RangeResult BoxPlot(std::vector<double> data, double hinge) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  return RunClasses(m, [hinge](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                               std::int32_t** c) { return o.DataSecByBoxPlot(hinge, b, n, i, c); });
}

RangeResult MaxBreaks(const std::vector<double>& data, std::int32_t k) {
  return RunRange(data, &CMensora::DataSecByMaxBreaks, k);
}

}  // namespace

// 16 values summing to 204: mean 12.75 leaves a head of 3 (under 40%); its
// mean 170/3 a head of 1 (under 40%), which is one value and not split.
TEST(HeadTailClasses, HeavyTailSplitAtSuccessiveMeans) {
  const std::vector<double> data{1, 20, 1, 2, 1, 100, 1, 3, 1, 4, 6, 1, 10, 50, 2, 1, kNaN};
  RangeResult r = HeadTail(data, 0.4);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, 12.75, 170.0 / 3, 100}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{13, 2, 1}), r.counts);
  r = HeadTail(data, 0.15);  // 3 of 16 is not under 15%: one split only
  EXPECT_EQ((std::vector<double>{1, 12.75, 100}), r.breaks);

  // The head is the values strictly above the mean: above 10, 3 of 10; above
  // 30, 1 of 3. A value at a mean stands in the class that starts there.
  r = HeadTail({0, 0, 0, 0, 0, 0, 10, 20, 30, 40}, 0.4);
  EXPECT_EQ((std::vector<double>{0, 10, 30, 40}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{6, 2, 2}), r.counts);
}

// One distinct value, or a mean of -inf, gives one class; +inf values form
// the head; no value but NaN one empty class. The share lies in (0, 1).
TEST(HeadTailClasses, DegenerateSamplesAndBadShares) {
  RangeResult r = HeadTail({4, 4, 4}, 0.4);
  EXPECT_EQ((std::vector<double>{4, 4}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{3}), r.counts);
  std::vector<double> data{1, kInf, 2, 3};
  r = HeadTail(data, 0.4);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, kInf, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{3, 1}), r.counts);
  r = HeadTail({-kInf, 1, 2}, 0.4);
  EXPECT_EQ((std::vector<double>{-kInf, 2}), r.breaks);
  r = HeadTail({kNaN}, 0.4);
  ASSERT_EQ(1, r.status);
  EXPECT_EQ((std::vector<std::int32_t>{0}), r.counts);
  // Sums beyond the largest double are formed at a smaller scale.
  data = {1e308, 1.5e308, 1.7e308, 1.7e308};
  r = HeadTail(data, 0.6);
  ExpectClosedClasses(data, r);
  EXPECT_DOUBLE_EQ(1.475e308, r.breaks[1]);
  for (double share : {0.0, 1.0, -0.5, kNaN}) EXPECT_EQ(-1, HeadTail({1, 2, 9}, share).status);
}

// Quartiles 2.5, 5 and 7.5 (R's quantile), IQR 5, fences at -5 and 15.
TEST(BoxPlotClasses, OutliersOnBothSides) {
  const std::vector<double> data{5, 60, 1, 9, 2, 8, -40, 3, 7, 4, 6};
  RangeResult r = BoxPlot(data, 1.5);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{-kInf, -5, 2.5, 5, 7.5, 15, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{6}), r.classes[0]);
  EXPECT_EQ((std::vector<std::int32_t>{1}), r.classes[5]);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 2, 3, 2, 1}), r.counts);

  r = BoxPlot(data, 0);  // the fences fall on the quartiles
  EXPECT_EQ((std::vector<double>{-kInf, 2.5, 2.5, 5, 7.5, 7.5, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{3, 0, 2, 3, 0, 3}), r.counts);
}

TEST(BoxPlotClasses, InfinitiesNoValuesAndBadHinges) {
  std::vector<double> data{3, kInf, 1, -kInf, 2};
  RangeResult r = BoxPlot(data, 1.5);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{-kInf, -2, 1, 2, 3, 6, kInf}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 0, 1, 1, 1, 1}), r.counts);
  data = {kInf, kInf, kInf, 1};  // q1 = q3 = +inf: no interquartile range
  r = BoxPlot(data, 1.5);
  ExpectClosedClasses(data, r);
  EXPECT_EQ(kInf, r.breaks[5]);

  r = BoxPlot({kNaN, kNaN}, 1.5);
  ASSERT_EQ(1, r.status);
  EXPECT_TRUE(std::isnan(r.breaks[3]));
  EXPECT_EQ((std::vector<std::int32_t>{0, 0, 0, 0, 0, 0}), r.counts);
  for (double hinge : {-1.0, kNaN, kInf}) EXPECT_EQ(-1, BoxPlot({1, 2}, hinge).status);
}

// Gaps 1, 2, 3, 1, 12, 1, 1, 18: breaks in the middle of the 18 and the 12.
TEST(MaxBreaksClasses, BreaksInTheWidestGaps) {
  const std::vector<double> data{21, 1, 40, 2, 8, 4, 20, 7, 22, 4, kNaN};
  RangeResult r = MaxBreaks(data, 3);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, 14, 31, 40}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{6, 3, 1}), r.counts);

  r = MaxBreaks({3, 0, 2, 1}, 2);  // equal gaps: the lowest wins
  EXPECT_EQ((std::vector<double>{0, 0.5, 3}), r.breaks);
  // Fewer distinct values than classes: the empty classes come before the
  // last, which holds the maximum.
  r = MaxBreaks({5, 9, 5}, 4);
  EXPECT_EQ((std::vector<double>{5, 7, 9, 9, 9}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{2, 0, 0, 1}), r.counts);
}

// A gap between neighbouring doubles, or with an infinite end, breaks at its
// upper end where its middle would not separate the two.
TEST(MaxBreaksClasses, GapsWithoutARoomyMiddle) {
  const double one = 1.0;
  const double next = std::nextafter(one, 2.0);
  for (const auto& data : std::vector<std::vector<double>>{
           {next, one}, {0, -kInf, 1}, {0, 1, kInf}, {-kInf, kInf}, {-1.7e308, 1.7e308}}) {
    const RangeResult r = MaxBreaks(data, 2);
    ExpectClosedClasses(data, r);
    EXPECT_GT(r.counts[0], 0);
    EXPECT_GT(r.counts[1], 0);
  }
  EXPECT_EQ(next, MaxBreaks({next, one}, 2).breaks[1]);
  EXPECT_EQ(-1, MaxBreaks({next, one}, 0).status);
}
