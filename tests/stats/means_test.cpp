// Arithmetic, weighted and geometric means and the mode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

double Geometric(std::vector<double> v) {
  CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
  return m.GeometryAverNum();
}

// Distance in units in the last place between two positive doubles.
long long Ulps(double a, double b) {
  std::int64_t ia = 0, ib = 0;
  std::memcpy(&ia, &a, sizeof a);
  std::memcpy(&ib, &b, sizeof b);
  return std::llabs(ia - ib);
}

}  // namespace

struct MeansCase {
  std::vector<double> values;
  double mean;
  double weighted;
  double mode;
};

// Weighted mean: every value weighted by its own occurrence count.
TEST(Means, WorkedExamples) {
  const MeansCase cases[] = {
      {{2, 4, 4, 4, 5, 5, 7, 9}, 5.0, 74.0 / 16.0, 4},
      {{1, 2, 2}, 5.0 / 3.0, 1.8, 2},
      {{3, 1, 1, 3}, 2.0, 2.0, 3},  // ties: the earliest position wins
      {{6, 2, 9}, 17.0 / 3.0, 17.0 / 3.0, 6},  // all distinct: x[0]
      {{-4.5}, -4.5, -4.5, -4.5},
      {{7, 7, 7}, 7.0, 7.0, 7},
      {{0.0, -0.0, 1}, 1.0 / 3.0, 0.2, 0.0},  // -0.0 matches 0.0
  };
  for (const MeansCase& c : cases) {
    std::vector<double> v = c.values;
    CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
    EXPECT_DOUBLE_EQ(c.mean, m.SimpleArithAverNum()) << v.size();
    EXPECT_DOUBLE_EQ(c.weighted, m.PowerArithAverNum(0)) << v.size();
    EXPECT_EQ(c.mode, m.NumerousNum()) << v.size();
  }
  std::vector<double> v = {-0.0, 0.0};
  CMensora m(v.data(), 2);
  EXPECT_TRUE(std::signbit(m.NumerousNum()));  // the value exactly as stored
}

TEST(Means, NaNInTheSample) {
  std::vector<double> v = {5, kNaN, 5};  // counts 3, 3, 3
  CMensora m(v.data(), 3);
  EXPECT_TRUE(std::isnan(m.SimpleArithAverNum()));
  EXPECT_TRUE(std::isnan(m.PowerArithAverNum(0)));
  EXPECT_EQ(0.0, m.GeometryAverNum());
  EXPECT_EQ(5.0, m.NumerousNum());

  std::vector<double> w = {1, kNaN, 2};  // counts 2, 3, 2: the NaN's count is n
  CMensora n(w.data(), 3);
  EXPECT_TRUE(std::isnan(n.NumerousNum()));
}

TEST(Means, NoSampleAndEmptySample) {
  CMensora none(nullptr, 4);
  const auto before = A::State(none);
  EXPECT_EQ(0.0, none.SimpleArithAverNum());
  EXPECT_EQ(0.0, none.PowerArithAverNum(0));
  EXPECT_EQ(0.0, none.GeometryAverNum());
  EXPECT_EQ(0.0, none.NumerousNum());
  EXPECT_EQ(before, A::State(none));

  double d[] = {3};
  CMensora empty(d, 0);
  EXPECT_TRUE(std::isnan(empty.SimpleArithAverNum()));
  EXPECT_EQ(1, A::AverDone(empty));
  EXPECT_EQ(1.0, empty.GeometryAverNum());  // the empty product's root
  const auto mid = A::State(empty);
  EXPECT_TRUE(std::isnan(empty.PowerArithAverNum(0)));
  EXPECT_EQ(0.0, empty.PowerArithAverNum(1));
  EXPECT_EQ(0.0, empty.NumerousNum());
  EXPECT_EQ(mid, A::State(empty));  // no mode stored, flag still 0
}

TEST(Means, CacheRules) {
  std::vector<double> v = {1, 2, 2};
  CMensora m(v.data(), 3);
  EXPECT_EQ(0.0, m.PowerArithAverNum(1));  // mode only, yet stored
  EXPECT_EQ(1, A::NumerousDone(m));
  EXPECT_EQ(2.0, A::NumerousValue(m));
  EXPECT_DOUBLE_EQ(5.0 / 3.0, m.SimpleArithAverNum());

  v = {4, 4, 9};
  EXPECT_EQ(2.0, m.NumerousNum());               // stored mode
  EXPECT_EQ(17.0 / 3.0, m.SimpleArithAverNum());  // every mean reads afresh
  EXPECT_EQ(std::pow(144.0, 1.0 / 3.0), m.GeometryAverNum());
  EXPECT_EQ(0.0, m.PowerArithAverNum(1));  // recomputes the mode
  EXPECT_EQ(4.0, m.NumerousNum());
  EXPECT_EQ(0, A::Ordered(m));  // none of them builds the view
}

TEST(Means, GeometricMeanFollowsThePlainProduct) {
  const struct { std::vector<double> values; double expected; } cases[] = {
      {{-2, -8}, 4.0},
      {{-1, 2}, 0.0},  // negative product, no real root
      {{-8}, -8.0},
      {{2, 0, 3}, 0.0},
      {{HUGE_BOUND}, 0.0},
      {{-HUGE_BOUND}, 0.0},
      {{1e300, kInf}, 0.0},
      {{kNaN, 2}, 0.0},
      {{2, 4, 4, 4, 5, 5, 7, 9}, std::pow(201600.0, 1.0 / 8.0)},
      {{3}, 3.0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, Geometric(c.values)) << c.values[0];
}

// A product that leaves the double range although every value is finite and
// non-zero still has its root.
TEST(Means, GeometricMeanSurvivesOverflowAndUnderflow) {
  EXPECT_LE(Ulps(100.0, Geometric(std::vector<double>(1000, 100.0))), 4);
  EXPECT_LE(Ulps(0.01, Geometric(std::vector<double>(1000, 0.01))), 4);
  EXPECT_LE(Ulps(1e155, Geometric({1e300, 1e10})), 4);
  EXPECT_LE(Ulps(1e300, Geometric({-1e300, -1e300})), 4);
  EXPECT_LE(Ulps(1.0, Geometric({1e200, 1e200, 1e-200, 1e-200})), 4);
  EXPECT_LE(Ulps(1e-200, Geometric({1e-200, 1e-200, 1e-200})), 4);
  std::vector<double> mixed(999, 1e3);
  mixed.push_back(1e-3);
  EXPECT_LE(Ulps(std::pow(10.0, 2994.0 / 1000.0), Geometric(mixed)), 8);
  // The sign rule and the range test still hold.
  EXPECT_EQ(0.0, Geometric({-1e300, 1e300, 1e300}));
  EXPECT_EQ(0.0, Geometric({1e308, 1e308, 1e308}));
  EXPECT_EQ(0.0, Geometric({1.7e308, 1.7e308}));  // root beyond HUGE_BOUND
}
