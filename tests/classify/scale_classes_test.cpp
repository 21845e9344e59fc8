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

RangeResult Pretty(const std::vector<double>& data, std::int32_t n) {
  return RunRange(data, &CMensora::DataSecByPretty, n);
}

RangeResult Geometric(const std::vector<double>& data, std::int32_t k) {
  return RunRange(data, &CMensora::DataSecByGeometric, k);
}

struct PrettyCase {
  std::vector<double> data;
  std::int32_t n;
  std::vector<double> breaks;
};

}  // namespace

// Expected breaks: R 4.2's pretty(data, n), printed with 17 digits. Where R
// gives one value b the class is [b, b].
TEST(PrettyClasses, TheBreaksOfTheRoundNumberReference) {
  const std::vector<PrettyCase> cases{
      {{3, 1, 4, 1, 5, 9, 2, 6, 10}, 5, {0, 2, 4, 6, 8, 10}},
      {{0.1, 0.7}, 6,
       {0.1, 0.2, 0.30000000000000004, 0.4, 0.50000000000000011, 0.60000000000000009,
        0.70000000000000007}},
      {{-3.7, -1.2}, 4, {-4, -3.5, -3, -2.5, -2, -1.5, -1}},
      {{-0.001234, 0.00987}, 10,
       {-0.002, -0.001, 0, 0.001, 0.002, 0.0030000000000000001, 0.0040000000000000001,
        0.0050000000000000001, 0.0060000000000000001, 0.007000000000000001,
        0.0080000000000000002, 0.0089999999999999993, 0.01}},
      {{-7, 1e6}, 2, {-500000, 0, 500000, 1000000}},
      // One value, or a range tiny beside its values.
      {{5}, 5, {0, 5}},
      {{5}, 1, {5, 5}},
      {{0, 0}, 5, {-1, 0}},
      {{2.5, 2.5}, 2, {2, 4}},
      {{1, 1 + 1e-15}, 5, {0, 1.0000000000000011}},
      {{-1e-12, 1e-12}, 3,
       {-9.9999999999999998e-13, -4.9999999999999999e-13, 0, 5.0000000000000009e-13,
        9.9999999999999998e-13}},
      {{123456789, 123456790}, 5,
       {123456789, 123456789.2, 123456789.40000001, 123456789.59999999, 123456789.8, 123456790}},
      // An end off the round grid by less than 1e-10 steps stays as it is.
      {{0.99999999999, 3}, 6, {0.99999999999, 1.4999999999925, 1.999999999995, 2.4999999999974998, 3}},
      // Huge and tiny magnitudes, and a range beyond the largest double.
      {{1e300, 1.0000001e300}, 5,
       {1e300, 1.0000000200000001e+300, 1.0000000400000001e+300, 1.0000000599999999e+300,
        1.00000008e+300, 1.0000001e+300}},
      {{-1.7e308, 1.7e308}, 5,
       {-1.7e308, -1.1333333333333332e+308, -5.6666666666666658e+307, 0,
        5.6666666666666678e+307, 1.1333333333333336e+308, 1.7e308}},
      {{1e-300}, 5, {0, 1e-300}},
      {{1e-320, 2e-320}, 5, {0, 1.9999999999277615e-314}},
  };
  for (const PrettyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.data[0] << " .. " << c.data.back() << ", n " << c.n);
    const RangeResult r = Pretty(c.data, c.n);
    ExpectClosedClasses(c.data, r);
    EXPECT_EQ(c.breaks, r.breaks);
  }
}

// Infinite values lie outside the breaks of the finite ones. Where the
// reference leaves an extreme a hair outside its breaks, the outer break
// moves onto it. Near the largest double, where the reference fails, the
// widened steps move inward.
TEST(PrettyClasses, EveryFiniteValueInAClass) {
  std::vector<double> data{-kInf, 1, 4, kNaN, kInf};
  RangeResult r = Pretty(data, 3);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4}), r.breaks);

  data = {-1e-20, 1};  // the reference: 0, 0.2, ..., 1
  r = Pretty(data, 5);
  ExpectClosedClasses(data, r);
  EXPECT_EQ(-1e-20, r.breaks[0]);
  EXPECT_EQ(0.2, r.breaks[1]);

  for (double v : {1.79e308, -1.79e308}) {
    data = {v};
    r = Pretty(data, 30);
    ExpectClosedClasses(data, r);
    EXPECT_EQ(11u, r.breaks.size());
    for (double b : r.breaks) EXPECT_TRUE(std::isfinite(b));
  }
  EXPECT_EQ(-1, Pretty({kInf, -kInf, kNaN}, 5).status);
  EXPECT_EQ(-1, Pretty({1}, 0).status);
}

TEST(GeometricClasses, BreaksGrowByOneRatio) {
  std::vector<double> data{1000, 1, kNaN, 10, 10000, 100};
  RangeResult r = Geometric(data, 4);
  ExpectClosedClasses(data, r);
  EXPECT_EQ((std::vector<double>{1, 10, 100, 1000, 10000}), r.breaks);
  EXPECT_EQ((std::vector<std::int32_t>{1, 1, 1, 2}), r.counts);

  // The last break is the maximum itself, whatever the rounding of r^k.
  data = {2, 7, 13, 1000.5};
  r = Geometric(data, 7);
  ExpectClosedClasses(data, r);
  EXPECT_EQ(1000.5, r.breaks[7]);
  EXPECT_NEAR(std::log(1000.5 / 2) / 7, std::log(r.breaks[1] / r.breaks[0]), 1e-15);

  // max / min beyond the largest double: the progression from logarithms.
  data = {5e-324, 1e308};
  r = Geometric(data, 4);
  ExpectClosedClasses(data, r);
  for (int i = 0; i < 4; ++i) EXPECT_LT(r.breaks[i], r.breaks[i + 1]);

  for (const auto& bad : std::vector<std::vector<double>>{{0, 1}, {-1, 1}, {1, kInf}, {kNaN}}) {
    EXPECT_EQ(-1, Geometric(bad, 3).status);
  }
}
