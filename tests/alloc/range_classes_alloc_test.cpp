// The range classes beyond the equal-interval ones, and the fit measures,
// with each allocation failing in turn: the scratch copies fail before any
// buffer is touched, the three buffers fail as for the other range classes,
// and nothing leaks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "Mensora.h"
#include "alloc/counting_allocator.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

using Method = std::int32_t (CMensora::*)(std::int32_t, double**, std::int32_t*,
                                          std::int32_t**, std::int32_t**);

struct Result {
  std::int32_t status = 0;
  double* breaks = nullptr;
  std::int32_t breakNum = -7;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
};

// A class method with its leading arguments bound.
using Call = std::function<std::int32_t(CMensora&, double**, std::int32_t*, std::int32_t**,
                                        std::int32_t**)>;

Result RunCall(CMensora& m, const Call& call) {
  Result r;
  r.status = call(m, &r.breaks, &r.breakNum, &r.ids, &r.counts);
  return r;
}

Call WithCount(Method method, std::int32_t k) {
  return [method, k](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                     std::int32_t** c) { return (m.*method)(k, b, n, i, c); };
}

// scratch: the allocations the method makes before it replaces the breaks
// on an object whose view exists.
void FailEachAllocation(const Call& call, std::int64_t scratch,
                        std::vector<double> v = {5, 2, 9, 4, 4, 7, 4, 5}) {
  const auto n = static_cast<std::int32_t>(v.size());
  CMensora reference(v.data(), n);
  const Result expected = RunCall(reference, call);
  ASSERT_EQ(1, expected.status);
  const std::int32_t k = expected.breakNum - 1;
  const std::vector<double> breaks(expected.breaks, expected.breaks + k + 1);
  const std::vector<std::int32_t> counts(expected.counts, expected.counts + k);

  // Earlier range classes, standard-deviation classes and selection.
  const auto prepare = [](CMensora& m) {
    double* b = nullptr;
    std::int32_t n = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* cnt = nullptr;
    ASSERT_EQ(1, m.DataSecByMaxMin(3, &b, &n, &ids, &cnt));
    ASSERT_EQ(1, m.DataSecByAverStd(1, 1.0, &b, &n, &ids, &cnt));
    ASSERT_EQ(1, m.DataStatByArea(4, 6, &ids, &n));
  };
  std::int64_t total = 0;
  {
    CMensora m(v.data(), n);
    prepare(m);
    const std::int64_t before = alloc_probe::Calls();
    RunCall(m, call);
    total = alloc_probe::Calls() - before;
  }
  ASSERT_GT(total, scratch + 2);

  for (std::int64_t fail = 1; fail <= total; ++fail) {
    SCOPED_TRACE(testing::Message() << "allocation " << fail << " of " << total << " fails");
    const std::int64_t live = alloc_probe::LiveBytes();
    {
      CMensora m(v.data(), n);
      prepare(m);
      const double* oldBreaks = A::SecBreak(m);
      const std::int32_t* oldCounts = A::SecIDNum(m);
      const std::int32_t* oldIds = A::SecID(m);
      const std::vector<double> oldBreakValues(oldBreaks, oldBreaks + 4);
      const double* stdBreaks = A::StdBreak(m);
      const std::int32_t* area = A::AreaID(m);

      alloc_probe::FailNth(fail);
      const Result r = RunCall(m, call);
      ASSERT_FALSE(alloc_probe::Armed());
      EXPECT_EQ(-1, r.status);
      EXPECT_EQ(nullptr, r.breaks);
      EXPECT_EQ(-7, r.breakNum);
      EXPECT_EQ(nullptr, r.ids);
      EXPECT_EQ(nullptr, r.counts);
      if (fail <= scratch) {  // nothing replaced
        EXPECT_EQ(oldBreaks, A::SecBreak(m));
        EXPECT_EQ(oldBreakValues, std::vector<double>(oldBreaks, oldBreaks + 4));
        EXPECT_EQ(oldCounts, A::SecIDNum(m));
      } else if (fail == scratch + 1) {  // the breaks
        EXPECT_EQ(nullptr, A::SecBreak(m));
        EXPECT_EQ(oldCounts, A::SecIDNum(m));
      } else {
        ASSERT_NE(nullptr, A::SecBreak(m));
        EXPECT_EQ(breaks, std::vector<double>(A::SecBreak(m), A::SecBreak(m) + k + 1));
        if (fail == scratch + 2) {  // the counts
          EXPECT_EQ(nullptr, A::SecIDNum(m));
        } else {  // the member list, then the ids
          EXPECT_EQ(nullptr, A::SecID(m));
        }
      }
      if (fail <= scratch + 2) EXPECT_EQ(oldIds, A::SecID(m));
      if (fail == total) {
        EXPECT_EQ(counts, std::vector<std::int32_t>(A::SecIDNum(m), A::SecIDNum(m) + k));
      }
      EXPECT_EQ(stdBreaks, A::StdBreak(m));
      EXPECT_EQ(area, A::AreaID(m));

      const Result later = RunCall(m, call);
      ASSERT_EQ(1, later.status);
      EXPECT_EQ(breaks, std::vector<double>(later.breaks, later.breaks + k + 1));
      EXPECT_EQ(counts, std::vector<std::int32_t>(later.counts, later.counts + k));
    }
    EXPECT_EQ(live, alloc_probe::LiveBytes()) << "leak";
  }
}

}  // namespace

// The sorted copy of the values.
TEST(AllocFailure, QuantileClasses) {
  FailEachAllocation(WithCount(&CMensora::DataSecByQuantile, 3), 1);
}

// The sorted copy with the counts of the distinct values, the class starts and,
// beyond the few points the programme holds in itself, its two arrays.
TEST(AllocFailure, NaturalBreaks) {
  FailEachAllocation(WithCount(&CMensora::DataSecByNaturalBreaks, 2), 2);
  std::vector<double> many(600);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<double>(i * 7 % 601);
  FailEachAllocation(WithCount(&CMensora::DataSecByNaturalBreaks, 2), 4, many);
}

// The sorted copy (not for the caller's breaks) and the breaks worked out
// before the buffer is replaced; the gap order of the widest gaps.
TEST(AllocFailure, MoreRangeClasses) {
  const double breaks[] = {2, 4.5, 9};
  const double percents[] = {10, 50, 100};
  FailEachAllocation([&](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                         std::int32_t** c) { return m.DataSecByBreaks(breaks, 3, b, n, i, c); },
                     1);
  FailEachAllocation([&](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                         std::int32_t** c) { return m.DataSecByPercentile(percents, 3, b, n, i, c); },
                     2);
  FailEachAllocation([](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                        std::int32_t** c) { return m.DataSecByHeadTail(0.4, b, n, i, c); },
                     2);
  FailEachAllocation([](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                        std::int32_t** c) { return m.DataSecByBoxPlot(1.5, b, n, i, c); },
                     1);
  FailEachAllocation(WithCount(&CMensora::DataSecByPretty, 3), 2);
  FailEachAllocation(WithCount(&CMensora::DataSecByGeometric, 3), 2);
  FailEachAllocation(WithCount(&CMensora::DataSecByMaxBreaks, 3), 3);
}

// The sorted copy, the distinct values and their weights, the class starts,
// the class counts of the fit, the costs and the choices of the programme
// (its prefix sums fit in itself), and the breaks.
TEST(AllocFailure, NaturalBreaksAuto) {
  FailEachAllocation([](CMensora& m, double** b, std::int32_t* n, std::int32_t** i,
                        std::int32_t** c) { return m.DataSecByNaturalBreaksAuto(3, 0.9, b, n, i, c); },
                     8);
}

// The scratch arrays of the fit (the member values, and the value of every
// id where the members are not one run of the view, as under an
// exchange-sort view with NaN) fail with nothing written and nothing lost;
// the current result stays measurable.
TEST(AllocFailure, ClassFit) {
  for (const bool exchangeView : {false, true}) {
    std::vector<double> v = {5, 2, 9, std::nan(""), 4, 4, 7, 4, 5};
    CMensora m(v.data(), 9);
    if (exchangeView) {
      double* every = nullptr;
      std::int32_t count = 0;
      m.SubSectionNum(&every, 1, &count);
    }
    ASSERT_EQ(1, RunCall(m, WithCount(&CMensora::DataSecByQuantile, 3)).status);
    double out[5] = {-1, -1, -1, -1, -1};
    const std::int64_t before = alloc_probe::Calls();
    ASSERT_EQ(1, m.DataSecFitNum(0, &out[0], &out[1], &out[2], &out[3], &out[4]));
    const std::int64_t total = alloc_probe::Calls() - before;
    EXPECT_EQ(exchangeView ? 2 : 1, total);
    const std::int64_t live = alloc_probe::LiveBytes();
    for (std::int64_t fail = 1; fail <= total; ++fail) {
      double unset[5] = {-1, -1, -1, -1, -1};
      alloc_probe::FailNth(fail);
      EXPECT_EQ(-1, m.DataSecFitNum(0, &unset[0], &unset[1], &unset[2], &unset[3], &unset[4]));
      ASSERT_FALSE(alloc_probe::Armed());
      EXPECT_EQ(-1, unset[2]);
      EXPECT_EQ(live, alloc_probe::LiveBytes());
    }
    double again[5];
    EXPECT_EQ(1, m.DataSecFitNum(0, &again[0], &again[1], &again[2], &again[3], &again[4]));
    EXPECT_EQ(out[2], again[2]);
  }
}
