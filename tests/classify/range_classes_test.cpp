// Range classes: equal intervals between the extremes, and classes from a
// start value by step or by class count, with the closing rule; and the
// rejections shared by all five class methods.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "Mensora.h"
#include "support/class_out.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

const ClassCase kRangeCases[] = {
    {"maximum by the closing rule", {4, 1, 3, 2, 5}, Method::kMaxMin, 2, 0, 0, 0,
     {1, 3, 5}, {2, 3}, {1, 3, 2, 0, 4}},
    {"equal maxima all in the last class", {5, 1, 5}, Method::kMaxMin, 2, 0, 0, 0,
     {1, 3, 5}, {1, 2}, {1, 0, 2}},
    {"more equal maxima", {1, 5, 5, 5}, Method::kMaxMin, 2, 0, 0, 0, {1, 3, 5}, {1, 3},
     {0, 1, 2, 3}},
    {"zero width", {2, 2, 2}, Method::kMaxMin, 3, 0, 0, 0, {2, 2, 2, 2}, {0, 0, 3}, {0, 1, 2}},
    {"one class", {3, 1, 2}, Method::kMaxMin, 1, 0, 0, 0, {1, 3}, {3}, {1, 2, 0}},
    {"last break just above the maximum", {1.3, 5.0}, Method::kMaxMin, 19, 0, 0, 0, {},
     {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 1}},
    {"last break just below the maximum", {2.0, 9.4}, Method::kMaxMin, 13, 0, 0, 0, {},
     {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 1}},
    {"NaN in no class", {1, kNaN, 0, 3}, Method::kMaxMin, 3, 0, 0, 0, {0, 1, 2, 3},
     {1, 1, 1}, {2, 0, 3}},
    {"infinite maximum on an infinite last break", {1, kInf}, Method::kMaxMin, 2, 0, 0, 0, {},
     {0, 1}, {1}},

    {"step up to the maximum", {1, 2, 3, 4, 5}, Method::kStep, 1, 1, AUTO_MAX, 0,
     {1, 2, 3, 4, 5}, {1, 1, 1, 2}, {0, 1, 2, 3, 4}},
    {"step, maximum beyond the last break", {1, 2, 3, 4, 5}, Method::kStep, 0, 2, AUTO_MAX, 0,
     {0, 2, 4}, {1, 2}, {0, 1, 2}},
    {"step count truncated", {0.05, 0.15, 0.25, 0.3}, Method::kStep, 0, 0.1, 0.3, 0,
     {0, 0.1, 0.2}, {1, 1}, {0, 1}},
    {"step, no member at all", {1, 2, 3}, Method::kStep, 10, 1, 12, 0, {10, 11, 12}, {0, 0}, {}},
    {"step, descending breaks", {1, 2, 3}, Method::kStep, 3, -1, 1, 0, {3, 2, 1}, {0, 0}, {}},
    {"step, NaN end is the maximum", {1, 2, 3, 4, 5}, Method::kStep, 1, 1, kNaN, 0,
     {1, 2, 3, 4, 5}, {1, 1, 1, 2}, {0, 1, 2, 3, 4}},
    {"step, end within tolerance of the sentinel", {1, 2, 3, 4, 5}, Method::kStep, 1, 2,
     AUTO_MAX + 5e-8, 0, {1, 3, 5}, {2, 3}, {0, 1, 2, 3, 4}},
    {"step, explicit end on the maximum", {1, 2, 3, 4, 5}, Method::kStep, 1, 2, 5, 0,
     {1, 3, 5}, {2, 3}, {0, 1, 2, 3, 4}},

    {"count with an explicit end", {1, 2, 3, 4, 5}, Method::kGroup, 0, 2, 4, 0, {0, 2, 4},
     {1, 2}, {0, 1, 2}},
    {"count up to the maximum", {1, 2, 3, 4, 5}, Method::kGroup, 1, 2, AUTO_MAX, 0, {1, 3, 5},
     {2, 3}, {0, 1, 2, 3, 4}},
    {"count, end beyond the tolerance is real", {1, 2, 3, 4, 5}, Method::kGroup, 1, 1,
     AUTO_MAX - 1e-3, 0, {}, {5}, {0, 1, 2, 3, 4}},
};

// The closing rule fires exactly when the maximum lies within EQ_TOLERANCE
// of the last break (1, 2, 3 from start 1, step 1, end 3).
const struct {
  std::vector<double> values;
  std::vector<std::int32_t> counts;
} kClosingCases[] = {
    {{1, 2, 3}, {1, 2}},
    {{1, 2, 3 + 5e-8}, {1, 2}},
    {{1, 2, 3 + 2e-7}, {1, 1}},
    {{1, 2, 3 - 5e-8}, {1, 2}},
    {{1, 2, 3 - 2e-7}, {1, 2}},
    {{1, 3, 3 + 5e-8}, {1, 2}},
    {{1, 3 - 2e-7, 3 + 2e-7}, {1, 1}},
};

}  // namespace

TEST(RangeClasses, WorkedExamples) {
  for (const ClassCase& c : kRangeCases) ExpectClassCase(c);
}

TEST(RangeClasses, LastBreakRoundsAroundTheMaximum) {
  double above[] = {1.3, 5.0};
  double below[] = {2.0, 9.4};
  CMensora a(above, 2), b(below, 2);
  ClassOut oa, ob;
  ASSERT_EQ(1, Classify(a, Method::kMaxMin, 19, 0, 0, 0, oa));
  ASSERT_EQ(1, Classify(b, Method::kMaxMin, 13, 0, 0, 0, ob));
  EXPECT_EQ(std::nextafter(5.0, 10.0), oa.breaks[19]);
  EXPECT_EQ(std::nextafter(9.4, 0.0), ob.breaks[13]);
}

TEST(RangeClasses, ClosingRuleTolerance) {
  for (const auto& c : kClosingCases) {
    std::vector<double> v = c.values;
    CMensora m(v.data(), 3);
    ClassOut o;
    ASSERT_EQ(1, Classify(m, Method::kStep, 1, 1, 3, 0, o));
    EXPECT_EQ(c.counts, o.Counts()) << v[2] - 3;
    // Each entry is listed once at most.
    std::vector<std::int32_t> ids = o.Ids();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids.end(), std::adjacent_find(ids.begin(), ids.end()));
  }
}

// At large magnitudes the last break misses the maximum by more than 1e-7;
// the tolerance grows to 4 units in the last place of the breaks' scale, so
// the maximum stays in the last class while values clearly above stay out.
TEST(RangeClasses, MaximumKeptAtAnyMagnitude) {
  std::vector<double> v = {24.23, 891572437.6, 1.5e8};
  CMensora m(v.data(), 3);
  ClassOut o;
  ASSERT_EQ(1, Classify(m, Method::kMaxMin, 3, 0, 0, 0, o));
  ASSERT_NE(891572437.6, o.breaks[3]);
  EXPECT_EQ((std::vector<std::int32_t>{2, 0, 1}), o.Counts());
  std::mt19937_64 rng(7);
  for (int round = 0; round < 2000; ++round) {
    const double scale = std::ldexp(1.0, static_cast<int>(rng() % 120) - 20);
    std::vector<double> w(2 + rng() % 40);
    for (double& x : w) x = scale * static_cast<double>(rng() % 1000003) / 1000003.0 - scale / 3;
    CMensora e(w.data(), static_cast<std::int32_t>(w.size()));
    ClassOut r;
    ASSERT_EQ(1, Classify(e, Method::kMaxMin, static_cast<double>(1 + rng() % 12), 0, 0, 0, r));
    EXPECT_EQ(w.size(), r.Ids().size()) << round;
  }
  // 1e9 + 1 beyond a last break of 1e9 is no rounding error.
  std::vector<double> g = {0, 5e8, 1e9 + 1};
  CMensora c(g.data(), 3);
  ASSERT_EQ(1, Classify(c, Method::kGroup, 0, 2, 1e9, 0, o));
  EXPECT_EQ((std::vector<std::int32_t>{1, 1}), o.Counts());
}

TEST(RangeClasses, RealEndValueGivesItsOwnCount) {
  std::vector<double> v = {1, 2, 3, 4, 5};
  CMensora m(v.data(), 5);
  ClassOut o;
  ASSERT_EQ(1, Classify(m, Method::kStep, 1, 1, AUTO_MAX + 1e-3, 0, o));
  EXPECT_EQ(999, o.breakNum);  // (999.001 - 1) / 1 truncated: 998 classes
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2, 3, 4}), o.Ids());
}

// From the minimum, k classes and the maximum as end: the equal intervals.
TEST(RangeClasses, CountFromTheMinimumEqualsEqualIntervals) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::vector<double> v(1 + rng() % 30);
    for (double& x : v) x = static_cast<double>(rng() % 20) / 3.0;
    const auto k = static_cast<double>(1 + rng() % 9);
    CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
    double mx = 0, mn = 0;
    m.ExtremumNum(&mx, &mn);
    ClassOut e, g;
    ASSERT_EQ(1, Classify(m, Method::kMaxMin, k, 0, 0, 0, e));
    const std::vector<std::int32_t> ids = e.Ids(), counts = e.Counts();
    const std::vector<double> breaks = e.Breaks();
    ASSERT_EQ(1, Classify(m, Method::kGroup, mn, k, AUTO_MAX, 0, g));
    EXPECT_EQ(breaks, g.Breaks());
    EXPECT_EQ(counts, g.Counts());
    EXPECT_EQ(ids, g.Ids());
    // Without NaN every value is in exactly one class.
    EXPECT_EQ(v.size(), ids.size());
  }
}

// The sort that first built the view fixes the order of equal values in every
// class list, range and standard-deviation classes alike.
TEST(ClassIds, EqualValuesFollowTheViewsOrder) {
  for (int first = 0; first < 2; ++first) {
    std::vector<double> v = {3, 1, 2, 1, 3};
    CMensora m(v.data(), 5);
    double* sub = nullptr;
    std::int32_t num = 0;
    if (first == 0) m.MedianNum(); else m.SubSectionNum(&sub, 2, &num);
    const std::vector<std::int32_t> expected =
        first == 0 ? std::vector<std::int32_t>{3, 1, 2, 0, 4}
                   : std::vector<std::int32_t>{1, 3, 2, 0, 4};
    ClassOut r, s;
    ASSERT_EQ(1, Classify(m, Method::kMaxMin, 2, 0, 0, 0, r));
    EXPECT_EQ(expected, r.Ids());
    EXPECT_EQ((std::vector<std::int32_t>{2, 3}), r.Counts());
    ASSERT_EQ(1, Classify(m, Method::kStd, 0, 1, 0, 0, s));  // below / from the mean 2
    EXPECT_EQ(expected, s.Ids());
    EXPECT_EQ((std::vector<std::int32_t>{2, 3}), s.Counts());
  }
}

// A rejected call returns -1 and changes nothing at all: no out-parameter,
// no buffer, no view, no cached measure.
TEST(ClassRejections, ArgumentsThatNeedNoData) {
  const double big = static_cast<double>(INT32_MAX);
  const struct { Method method; double a, b; } bad[] = {
      {Method::kMaxMin, 0, 0}, {Method::kMaxMin, -1, 0}, {Method::kMaxMin, big, 0},
      {Method::kMaxMin, INT32_MIN, 0},
      {Method::kGroup, 1, 0}, {Method::kGroup, 1, -3}, {Method::kGroup, 1, big},
      {Method::kStd, -1, 1}, {Method::kStd, 1073741823, 1}, {Method::kStd, INT32_MIN, 1},
      {Method::kStd, 1, -1}, {Method::kStd, 1, -1e-300}, {Method::kStd, 1, kNaN},
      {Method::kStd, 1, -kInf},
      {Method::kStdWindow, -1, 1}, {Method::kStdWindow, 1073741823, 1},
      {Method::kStdWindow, 1, -0.5}, {Method::kStdWindow, 1, kNaN},
  };
  std::vector<double> v = {4, 1, 3, 2, 5};
  for (const auto& c : bad) {
    CMensora m(v.data(), 5);
    const auto before = A::State(m);
    ClassOut o;
    EXPECT_EQ(-1, Classify(m, c.method, c.a, c.b, AUTO_MAX, AUTO_MAX, o)) << c.a << " " << c.b;
    EXPECT_TRUE(o.Untouched());
    EXPECT_EQ(before, A::State(m));
  }
}

TEST(ClassRejections, NoSampleEmptySampleAndNullOutputs) {
  const struct { Method method; double a, b, c, d; } calls[] = {
      {Method::kMaxMin, 2, 0, 0, 0}, {Method::kStep, 1, 1, AUTO_MAX, 0},
      {Method::kGroup, 1, 2, AUTO_MAX, 0}, {Method::kStd, 1, 1, 0, 0},
      {Method::kStdWindow, 1, 1, AUTO_MIN, AUTO_MAX}};
  std::vector<double> v = {4, 1, 3, 2, 5};
  for (const auto& c : calls) {
    for (int which = 0; which < 6; ++which) {
      CMensora m(which == 0 ? nullptr : v.data(), which == 1 ? 0 : 5);
      const auto before = A::State(m);
      ClassOut o;
      o.nullOut = which - 2;  // cases 2 to 5: one out-pointer null at a time
      const std::int32_t status = Classify(m, c.method, c.a, c.b, c.c, c.d, o);
      EXPECT_EQ(-1, status) << static_cast<int>(c.method) << " case " << which;
      EXPECT_TRUE(o.Untouched());
      EXPECT_EQ(before, A::State(m)) << static_cast<int>(c.method) << " case " << which;
    }
  }
}

// The class count of the step variant needs the maximum: rejected after the
// view is built, with nothing else changed.
TEST(ClassRejections, StepQuotientWithoutAUsableClassCount) {
  const struct { double start, step, end; } bad[] = {
      {5, 0, AUTO_MAX},       // 0 / 0
      {1, 0, AUTO_MAX},       // infinite
      {5, 1, 1},              // negative
      {1, 3, 3},              // 2 / 3, below one class
      {1, -1, 3},             // opposite signs
      {kNaN, 1, AUTO_MAX},    // NaN
      {0, 1e-300, 5},         // beyond the 32-bit count
      {0, 5.0 / 2147483648.0, 5},  // k = 2^31 does not fit
  };
  std::vector<double> v = {4, 1, 3, 2, 5};
  for (const auto& c : bad) {
    CMensora m(v.data(), 5);
    ClassOut earlier;
    ASSERT_EQ(1, Classify(m, Method::kMaxMin, 2, 0, 0, 0, earlier));
    const std::vector<std::int32_t> ids = earlier.Ids();
    const auto before = A::State(m);
    ClassOut o;
    EXPECT_EQ(-1, Classify(m, Method::kStep, c.start, c.step, c.end, 0, o)) << c.step;
    EXPECT_TRUE(o.Untouched());
    EXPECT_EQ(before, A::State(m));
    EXPECT_EQ(ids, earlier.Ids());

    CMensora fresh(v.data(), 5);
    EXPECT_EQ(-1, Classify(fresh, Method::kStep, c.start, c.step, c.end, 0, o));
    EXPECT_TRUE(o.Untouched());
    EXPECT_EQ(1, A::Ordered(fresh));
    EXPECT_EQ(nullptr, A::SecBreak(fresh));
  }
}
