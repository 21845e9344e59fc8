// Standard-deviation classes around the mean, over the whole sample or a
// closed value window, and the independence of the result buffer sets.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "Mensora.h"
#include "support/class_out.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double H = HUGE_BOUND;
const std::vector<double> kSample = {2, 4, 4, 4, 5, 5, 7, 9};  // mean 5, sd 2


const ClassCase kStdCases[] = {
    {"one step each side", kSample, Method::kStd, 1, 1, 0, 0, {-H, 3, 5, 7, H}, {1, 3, 2, 2},
     {0, 1, 2, 3, 4, 5, 6, 7}},
    {"closed window", kSample, Method::kStdWindow, 1, 1, 3, 7, {-H, 3, 5, 7, H}, {0, 3, 2, 1},
     {1, 2, 3, 4, 5, 6}},
    {"window of the sentinels", kSample, Method::kStdWindow, 1, 1, AUTO_MIN, AUTO_MAX,
     {-H, 3, 5, 7, H}, {1, 3, 2, 2}, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"999 as a real lower limit", kSample, Method::kStdWindow, 1, 1, 999, AUTO_MAX,
     {-H, 3, 5, 7, H}, {0, 0, 0, 0}, {}},
    {"no steps", kSample, Method::kStd, 0, 1, 0, 0, {-H, 5, H}, {4, 4},
     {0, 1, 2, 3, 4, 5, 6, 7}},
    {"zero step width", kSample, Method::kStd, 2, 0, 0, 0, {-H, 5, 5, 5, 5, 5, H},
     {4, 0, 0, 0, 0, 4}, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"zero spread", {2, 2, 2}, Method::kStd, 1, 1, 0, 0, {-H, 2, 2, 2, H}, {0, 0, 0, 3},
     {0, 1, 2}},
    {"half steps", kSample, Method::kStd, 2, 0.5, 0, 0, {-H, 3, 4, 5, 6, 7, H},
     {1, 0, 3, 2, 0, 2}, {0, 1, 2, 3, 4, 5, 6, 7}},
    {"the outer bound itself is in no class", {HUGE_BOUND, HUGE_BOUND}, Method::kStd, 0, 1, 0,
     0, {-H, H, H}, {0, 0}, {}},
    // Sentinels within EQ_TOLERANCE, real limits beyond it, NaN limits.
    {"lower sentinel within tolerance", {-1000, 0, 1000}, Method::kStdWindow, 0, 1,
     AUTO_MIN + 5e-8, AUTO_MAX, {}, {1, 2}, {0, 1, 2}},
    {"real lower limit", {-1000, 0, 1000}, Method::kStdWindow, 0, 1, AUTO_MIN + 1e-3,
     AUTO_MAX, {}, {0, 2}, {1, 2}},
    {"upper sentinel within tolerance", {-1000, 0, 1000}, Method::kStdWindow, 0, 1, AUTO_MIN,
     AUTO_MAX - 5e-8, {}, {1, 2}, {0, 1, 2}},
    {"real upper limit", {-1000, 0, 1000}, Method::kStdWindow, 0, 1, AUTO_MIN,
     AUTO_MAX - 1e-3, {}, {1, 1}, {0, 1}},
    {"NaN limits are the extremes", {-1000, 0, 1000}, Method::kStdWindow, 0, 1, kNaN, kNaN,
     {}, {1, 2}, {0, 1, 2}},
};

}  // namespace

TEST(StdClasses, WorkedExamples) {
  for (const ClassCase& c : kStdCases) ExpectClassCase(c);
}

// The breaks take a fresh mean and the stored standard deviation; the
// classified values are those of the view.
TEST(StdClasses, FreshMeanStoredSpreadAndViewValues) {
  std::vector<double> v = kSample;
  CMensora m(v.data(), 8);
  EXPECT_EQ(2.0, m.StandDifNum());
  EXPECT_EQ(4.5, m.MedianNum());
  for (double& x : v) x += 10;
  ClassOut o;
  ASSERT_EQ(1, Classify(m, Method::kStd, 1, 1, 0, 0, o));
  EXPECT_EQ((std::vector<double>{-H, 13, 15, 17, H}), o.Breaks());
  EXPECT_EQ((std::vector<std::int32_t>{8, 0, 0, 0}), o.Counts());
  EXPECT_EQ(15.0, A::AverNum(m));
  EXPECT_EQ(2.0, A::StandDifValue(m));
}

// Range classes, standard-deviation classes and the window selection each
// keep their own buffers: a call replaces only its own set.
TEST(ClassBuffers, SetsNeverDisturbOneAnother) {
  std::vector<double> v = kSample;
  CMensora m(v.data(), 8);
  const auto range = [&] { return std::make_tuple(A::SecBreak(m), A::SecIDNum(m), A::SecID(m)); };
  const auto stdSet = [&] { return std::make_tuple(A::StdBreak(m), A::StdIDNum(m), A::StdID(m)); };
  ClassOut r, s, p;
  std::int32_t* area = nullptr;
  std::int32_t num = 0;
  ASSERT_EQ(1, Classify(m, Method::kMaxMin, 7, 0, 0, 0, r));
  ASSERT_EQ(1, Classify(m, Method::kStd, 1, 1, 0, 0, s));
  ASSERT_EQ(1, m.DataStatByArea(4, 6, &area, &num));
  const auto rangeBefore = range();
  const std::vector<std::int32_t> rIds = r.Ids(), areaIds(area, area + num);

  ASSERT_EQ(1, Classify(m, Method::kStdWindow, 2, 0.5, 3, 8, s));
  EXPECT_EQ(s.breaks, A::StdBreak(m));
  EXPECT_EQ(rangeBefore, range());
  EXPECT_EQ(rIds, r.Ids());
  const auto stdBefore = stdSet();
  const std::vector<std::int32_t> sIds = s.Ids();

  ASSERT_EQ(1, Classify(m, Method::kStep, 2, 3, AUTO_MAX, 0, p));
  EXPECT_EQ(p.breaks, A::SecBreak(m));
  EXPECT_EQ(stdBefore, stdSet());
  EXPECT_EQ(sIds, s.Ids());
  EXPECT_EQ(area, A::AreaID(m));
  EXPECT_EQ(areaIds, std::vector<std::int32_t>(area, area + num));

  const auto rangeNow = range();
  ASSERT_EQ(1, m.DataStatByArea(0, 3, &area, &num));
  EXPECT_EQ(rangeNow, range());
  EXPECT_EQ(stdBefore, stdSet());
  EXPECT_EQ(sIds, s.Ids());
}
