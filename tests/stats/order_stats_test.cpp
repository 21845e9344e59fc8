// Median, extremes, range and every k-th sorted value.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/class_out.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct OrderCase {
  std::vector<double> values;
  double median, max, min;
};

}  // namespace

TEST(OrderStats, WorkedExamples) {
  const OrderCase cases[] = {
      {{3, 1, 2}, 2, 3, 1},
      {{4, 1, 3, 2}, 2.5, 4, 1},
      {{-5, -1}, -3, -1, -5},
      {{7.25}, 7.25, 7.25, 7.25},
      {{6, 6, 6, 6}, 6, 6, 6},
      {{0.1, 0.2}, (0.1 + 0.2) / 2, 0.2, 0.1},
      // The median never overflows: the middle value itself, or the halves.
      {{1.5e308}, 1.5e308, 1.5e308, 1.5e308},
      {{1.5e308, -1.0, 1.7e308}, 1.5e308, 1.7e308, -1.0},
      {{1.5e308, 1.7e308}, 1.5e308 / 2 + 1.7e308 / 2, 1.7e308, 1.5e308},
      {{-1.5e308, -1.7e308}, -1.5e308 / 2 + -1.7e308 / 2, -1.5e308, -1.7e308},
      {{DBL_MAX, DBL_MAX}, DBL_MAX, DBL_MAX, DBL_MAX},
      {{1e308, kInf}, kInf, kInf, 1e308},
      {{-kInf, kInf}, kNaN, kInf, -kInf},
  };
  for (const OrderCase& c : cases) {
    std::vector<double> v = c.values;
    CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
    double mx = 0, mn = 0;
    m.ExtremumNum(&mx, &mn);  // maximum first
    EXPECT_EQ(c.max, mx);
    EXPECT_EQ(c.min, mn);
    const double median = m.MedianNum();
    if (std::isnan(c.median)) {
      EXPECT_TRUE(std::isnan(median));
    } else {
      EXPECT_EQ(c.median, median) << v[0];
    }
    EXPECT_EQ(c.max - c.min, m.ExtreDifNum()) << v[0];
  }
}

TEST(OrderStats, NaNComesBackByPosition) {
  std::vector<double> v = {kNaN, 1, 0};  // the quicksort leaves NaN, 0, 1
  CMensora m(v.data(), 3);
  double mx = 0, mn = 0;
  m.ExtremumNum(&mx, &mn);
  EXPECT_EQ(1.0, mx);
  EXPECT_TRUE(std::isnan(mn));
  EXPECT_EQ(0.0, m.MedianNum());
  EXPECT_TRUE(std::isnan(m.ExtreDifNum()));
}

TEST(OrderStats, NoSampleEmptySampleAndNullOutputs) {
  CMensora none(nullptr, 3);
  const auto before = A::State(none);
  double mx = 11, mn = 12;
  EXPECT_EQ(0.0, none.MedianNum());
  EXPECT_EQ(0.0, none.ExtreDifNum());
  none.ExtremumNum(&mx, &mn);
  double* sub = nullptr;
  std::int32_t num = -3;
  none.SubSectionNum(&sub, 1, &num);
  EXPECT_EQ(before, A::State(none));
  EXPECT_EQ(11, mx);
  EXPECT_EQ(nullptr, sub);
  EXPECT_EQ(-3, num);

  double d[] = {4};
  CMensora empty(d, 0);
  EXPECT_TRUE(std::isnan(empty.MedianNum()));
  EXPECT_TRUE(std::isnan(A::MedianValue(empty)));  // stored as returned
  EXPECT_TRUE(std::isnan(empty.ExtreDifNum()));
  empty.ExtremumNum(&mx, &mn);
  EXPECT_EQ(11, mx);
  EXPECT_EQ(12, mn);
  empty.SubSectionNum(&sub, 1, &num);
  EXPECT_EQ(nullptr, sub);

  double v[] = {3, 8};
  CMensora m(v, 2);
  m.ExtremumNum(&mx, nullptr);
  EXPECT_EQ(8, mx);
  m.ExtremumNum(nullptr, &mn);
  EXPECT_EQ(3, mn);
  m.ExtremumNum(nullptr, nullptr);
}

TEST(OrderStats, EveryKthSortedValue) {
  std::vector<double> v = {9, 0, 8, 1, 7, 2, 6, 3, 5, 4};
  const struct { std::int32_t step; std::vector<double> values; } cases[] = {
      {3, {0, 3, 6, 9}}, {4, {0, 4, 8}}, {10, {0}}, {1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}};
  CMensora m(v.data(), 10);
  for (const auto& c : cases) {
    double* sub = nullptr;
    std::int32_t num = -1;
    m.SubSectionNum(&sub, c.step, &num);
    ASSERT_EQ(static_cast<std::int32_t>(c.values.size()), num) << c.step;
    EXPECT_EQ(c.values, std::vector<double>(sub, sub + num));
    EXPECT_EQ(sub, A::SubSection(m));
  }
  // A null count pointer still gets the array.
  double* sub = nullptr;
  m.SubSectionNum(&sub, 5, nullptr);
  ASSERT_EQ(sub, A::SubSection(m));
  EXPECT_EQ(5.0, sub[1]);
}

TEST(OrderStats, RejectedStepsWriteNothingButBuildTheView) {
  for (std::int32_t step : {0, 4, -1, -4, INT32_MIN}) {
    std::vector<double> v = {2, 2, 1};
    CMensora m(v.data(), 3);
    double* kept = nullptr;
    std::int32_t keptNum = 0;
    if (step != 4) m.SubSectionNum(&kept, 3, &keptNum);  // an earlier result
    double* sub = nullptr;
    std::int32_t num = -9;
    m.SubSectionNum(&sub, step, &num);
    EXPECT_EQ(nullptr, sub) << step;
    EXPECT_EQ(-9, num) << step;
    EXPECT_EQ(kept, A::SubSection(m)) << step;
    EXPECT_EQ(1, A::Ordered(m));
    EXPECT_EQ((std::vector<std::int32_t>{2, 1, 0}), A::ViewIds(m));  // the exchange sort's
    m.SubSectionNum(nullptr, 1, &num);
    EXPECT_EQ(-9, num);
    EXPECT_EQ(kept, A::SubSection(m));
  }
}

// The view is taken once: later changes of the caller's array do not reach
// the order statistics, and the first user's sort fixes the order of ties.
TEST(OrderStats, ViewIsBuiltOnceByItsFirstUser) {
  std::vector<double> v = {3, 1, 2};
  CMensora m(v.data(), 3);
  EXPECT_EQ(2.0, m.MedianNum());
  v = {30, 10, 20};
  EXPECT_EQ(2.0, m.MedianNum());
  EXPECT_EQ(2.0, m.ExtreDifNum());
  double* sub = nullptr;
  std::int32_t num = 0;
  m.SubSectionNum(&sub, 2, &num);
  EXPECT_EQ((std::vector<double>{1, 3}), std::vector<double>(sub, sub + num));
  EXPECT_EQ(20.0, m.SimpleArithAverNum());

  for (int first = 0; first < 2; ++first) {
    std::vector<double> w = {2, 2, 1};
    CMensora o(w.data(), 3);
    if (first == 0) o.MedianNum(); else o.SubSectionNum(&sub, 9, &num);
    ClassOut out;
    ASSERT_EQ(1, Classify(o, Method::kMaxMin, 1, 0, 0, 0, out));
    EXPECT_EQ(first == 0 ? (std::vector<std::int32_t>{2, 0, 1})
                         : (std::vector<std::int32_t>{2, 1, 0}),
              out.Ids());
  }
}
