// Every allocating member, with each of its allocations failing in turn: the
// object is left as the failure rules say, later calls still work, and
// nothing leaks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

#include "Mensora.h"
#include "alloc/counting_allocator.h"
#include "support/class_out.h"
#include "support/test_access.h"

using A = MensoraTestAccess;
using alloc_probe::Calls;
using alloc_probe::FailNth;
using alloc_probe::LiveBytes;

namespace {

const std::vector<double> kSample = {5, 2, 9, 4, 4, 7, 4, 5};

using Step = std::function<void(CMensora&)>;
// Checks the object after the call in which allocation k of n failed.
using Check = std::function<void(CMensora&, std::int64_t k, std::int64_t n)>;

// Allocations that `call` makes on an object over `values` brought into its
// state by `prepare`.
std::int64_t CountAllocations(const std::vector<double>& values, const Step& prepare,
                              const Step& call) {
  std::vector<double> v = values;
  CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
  prepare(m);
  const std::int64_t before = Calls();
  call(m);
  return Calls() - before;
}

// For every k up to the number of allocations the call makes: a fresh object,
// prepared, then the call with its k-th allocation failing, the check, and
// the leak check once the object is gone.
void FailEachAllocation(const std::vector<double>& values, const Step& prepare,
                        const Step& call, const Check& check,
                        std::int64_t expectedCalls = -1) {
  const std::int64_t n = CountAllocations(values, prepare, call);
  ASSERT_GT(n, 0);
  if (expectedCalls >= 0) {
    EXPECT_EQ(expectedCalls, n);
  }
  for (std::int64_t k = 1; k <= n; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " of " << n << " fails");
    std::vector<double> v = values;
    const std::int64_t live = LiveBytes();
    {
      CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
      prepare(m);
      FailNth(k);
      call(m);
      ASSERT_FALSE(alloc_probe::Armed());
      check(m, k, n);
    }
    EXPECT_EQ(live, LiveBytes()) << "leak";
  }
}

const Step kNothing = [](CMensora&) {};

struct ClassCall {
  Method method;
  double a, b, c, d;
};

struct Expected {
  std::vector<double> breaks;
  std::vector<std::int32_t> counts, ids;
};

// The call's result on a fresh object without failures.
Expected Reference(const ClassCall& c) {
  std::vector<double> v = kSample;
  CMensora m(v.data(), 8);
  ClassOut o;
  EXPECT_EQ(1, Classify(m, c.method, c.a, c.b, c.c, c.d, o));
  return {o.Breaks(), o.Counts(), o.Ids()};
}

}  // namespace

// The library is a shared object: its allocations must reach the counter.
TEST(AllocProbe, SeesTheLibrarysAllocations) {
  std::vector<double> v = kSample;
  const std::int64_t live = LiveBytes();
  {
    CMensora m(v.data(), 8);
    const std::int64_t before = Calls();
    m.MedianNum();
    EXPECT_EQ(1, Calls() - before);
    EXPECT_GE(LiveBytes() - live, 8 * 12);  // the view, and a header of its size
    EXPECT_LE(LiveBytes() - live, 8 * 12 + 16);
  }
  EXPECT_EQ(live, LiveBytes());
}

TEST(AllocFailure, SortedView) {
  // Without the view its users act as for an empty sample.
  double got = 0, mx = 1, mn = 1;
  const std::vector<Step> users = {
      [&](CMensora& m) { got = m.MedianNum(); },
      [&](CMensora& m) { got = m.ExtreDifNum(); },
      [&](CMensora& m) {
        got = std::nan("");
        mx = mn = 1;
        m.ExtremumNum(&mx, &mn);
      },
  };
  for (const Step& use : users) {
    FailEachAllocation(kSample, kNothing, use, [&](CMensora& m, std::int64_t, std::int64_t) {
      EXPECT_EQ(nullptr, A::View(m));
      EXPECT_EQ(0, A::OrderNum(m));
      EXPECT_EQ(0, A::Ordered(m));
      EXPECT_TRUE(std::isnan(got));
      EXPECT_EQ(1.0, mx);
      EXPECT_EQ(1.0, mn);
      EXPECT_EQ(4.5, m.MedianNum());  // the next user builds it
      EXPECT_EQ(1, A::Ordered(m));
    }, 1);
  }
}

TEST(AllocFailure, EveryKthSortedValue) {
  double* out = nullptr;
  std::int32_t num = -1;
  const Step call = [&](CMensora& m) {
    out = nullptr;
    num = -1;
    m.SubSectionNum(&out, 3, &num);
  };
  const auto checkLater = [&](CMensora& m) {
    m.SubSectionNum(&out, 3, &num);
    ASSERT_EQ(3, num);
    EXPECT_EQ((std::vector<double>{2, 4, 7}), std::vector<double>(out, out + 3));
  };
  FailEachAllocation(kSample, kNothing, call, [&](CMensora& m, std::int64_t k, std::int64_t) {
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(-1, num);
    EXPECT_EQ(nullptr, A::SubSection(m));
    EXPECT_EQ(k == 1 ? 0 : 1, A::Ordered(m));  // the view, then the array
    checkLater(m);
  }, 2);
  // With an earlier array: it is released before the new one fails.
  FailEachAllocation(kSample, [&](CMensora& m) { m.SubSectionNum(&out, 2, &num); }, call,
                     [&](CMensora& m, std::int64_t, std::int64_t) {
                       EXPECT_EQ(nullptr, out);
                       EXPECT_EQ(nullptr, A::SubSection(m));
                       checkLater(m);
                     }, 1);
}

TEST(AllocFailure, WeightedMeanAndMode) {
  // The stored mode (of an earlier sample) and its flag survive.
  std::vector<double> values = kSample;
  const Step prepare = [](CMensora& m) { m.PowerArithAverNum(1); };
  double got = 0;
  for (std::int32_t arg : {0, 1}) {
    FailEachAllocation(values, prepare, [&](CMensora& m) {
      got = m.PowerArithAverNum(arg);
    }, [&](CMensora& m, std::int64_t, std::int64_t) {
      EXPECT_EQ(0.0, got);
      EXPECT_EQ(1, A::NumerousDone(m));
      EXPECT_EQ(4.0, A::NumerousValue(m));
      EXPECT_EQ(74.0 / 16.0, m.PowerArithAverNum(0));
    }, 1);
  }
  FailEachAllocation(values, kNothing, [&](CMensora& m) { got = m.NumerousNum(); },
                     [&](CMensora& m, std::int64_t, std::int64_t) {
                       EXPECT_EQ(0.0, got);
                       EXPECT_EQ(0, A::NumerousDone(m));
                       EXPECT_EQ(4.0, m.NumerousNum());  // tries again
                     }, 1);
}

TEST(AllocFailure, DeviationGettersAndShapeStatistics) {
  using Getter = double (CMensora::*)();
  const Getter getters[] = {&CMensora::DisDifAverNum, &CMensora::DisDifSqrSum,
                            &CMensora::SqrDifNum,     &CMensora::SqraverDifNum,
                            &CMensora::StandDifNum,   &CMensora::AlterDifCoe,
                            &CMensora::DeflectDegree, &CMensora::ApexDegree};
  for (Getter g : getters) {
    std::vector<double> v = kSample;
    CMensora reference(v.data(), 8);
    const double expected = (reference.*g)();
    FailEachAllocation(kSample, kNothing, [g](CMensora& m) { (m.*g)(); },
                       [g, expected](CMensora& m, std::int64_t, std::int64_t) {
                         EXPECT_EQ(0, A::DisDifDone(m));
                         EXPECT_EQ(0.0, A::StandDifValue(m));
                         EXPECT_EQ(expected, (m.*g)());
                         EXPECT_EQ(1, A::DisDifDone(m));
                       }, 1);
  }
}

TEST(AllocFailure, CopyAssignment) {
  std::vector<double> source = {3, 1, 2, 1, 3};
  CMensora from(source.data(), 5);
  double* sub = nullptr;
  std::int32_t num = 0;
  from.SubSectionNum(&sub, 1, &num);  // view by the exchange sort
  from.StandDifNum();
  const auto fromState = A::State(from);
  FailEachAllocation(kSample, [](CMensora& m) {
    ClassOut o;
    Classify(m, Method::kStd, 1, 1, 0, 0, o);
    double* every = nullptr;
    m.SubSectionNum(&every, 2, nullptr);
  }, [&](CMensora& m) { m = from; }, [&](CMensora& m, std::int64_t, std::int64_t) {
    EXPECT_EQ(nullptr, A::View(m));
    EXPECT_EQ(0, A::OrderNum(m));
    EXPECT_EQ(0, A::Ordered(m));
    EXPECT_EQ(source.data(), A::Data(m));
    EXPECT_EQ(A::StandDifValue(from), A::StandDifValue(m));
    EXPECT_EQ(1, A::DisDifDone(m));
    EXPECT_EQ(nullptr, A::SubSection(m));
    EXPECT_EQ(nullptr, A::StdBreak(m));
    EXPECT_EQ(nullptr, A::StdID(m));
    EXPECT_EQ(fromState, A::State(from));
    EXPECT_EQ(2.0, m.MedianNum());  // a view of its own, from the sample
    EXPECT_EQ((std::vector<std::int32_t>{3, 1, 2, 0, 4}), A::ViewIds(m));
  }, 1);
}

namespace {

// The three buffers of one class-result set.
using BufferSet = std::tuple<const double*, const std::int32_t*, const std::int32_t*>;
BufferSet SetOf(const CMensora& m, bool stdSet) {
  return stdSet ? BufferSet{A::StdBreak(m), A::StdIDNum(m), A::StdID(m)}
                : BufferSet{A::SecBreak(m), A::SecIDNum(m), A::SecID(m)};
}

// A class method with each allocation failing, on a fresh object (its view,
// for the standard-deviation classes also the deviation scratch array, then
// its own buffers) and on an object that holds earlier results of both sets
// and of the window selection.
void FailEachClassAllocation(const ClassCall& call) {
  const bool stdSet = call.method == Method::kStd || call.method == Method::kStdWindow;
  const Expected expected = Reference(call);
  ClassOut o;
  std::int32_t status = 0;
  const Step run = [&](CMensora& m) {
    o = ClassOut();
    status = Classify(m, call.method, call.a, call.b, call.c, call.d, o);
  };
  const auto expectFailureThenSuccess = [&](CMensora& m) {
    EXPECT_EQ(-1, status);
    EXPECT_TRUE(o.Untouched());
    ClassOut later;
    ASSERT_EQ(1, Classify(m, call.method, call.a, call.b, call.c, call.d, later));
    EXPECT_EQ(expected.breaks, later.Breaks());
    EXPECT_EQ(expected.counts, later.Counts());
    EXPECT_EQ(expected.ids, later.Ids());
  };

  FailEachAllocation(kSample, kNothing, run, [&](CMensora& m, std::int64_t k, std::int64_t) {
    if (k == 1) {  // the view: nothing else happens
      EXPECT_EQ(nullptr, A::View(m));
      EXPECT_EQ(0, A::AverDone(m));
    }
    if (k == 1 || (stdSet && k == 2)) {  // or no standard deviation
      EXPECT_EQ(0, A::DisDifDone(m));
      EXPECT_EQ(nullptr, std::get<0>(SetOf(m, stdSet)));
    }
    expectFailureThenSuccess(m);
  });

  BufferSet own, other;
  std::vector<std::int32_t> ownIds;
  std::int32_t* area = nullptr;
  const Step prepare = [&](CMensora& m) {
    ClassOut r, s;
    std::int32_t num = 0;
    ASSERT_EQ(1, Classify(m, Method::kMaxMin, 3, 0, 0, 0, r));
    ASSERT_EQ(1, Classify(m, Method::kStd, 2, 1, 0, 0, s));
    ASSERT_EQ(1, m.DataStatByArea(4, 6, &area, &num));
    own = SetOf(m, stdSet);
    other = SetOf(m, !stdSet);
    ownIds = stdSet ? s.Ids() : r.Ids();
  };
  FailEachAllocation(kSample, prepare, run, [&](CMensora& m, std::int64_t k, std::int64_t n) {
    const auto [breaks, counts, ids] = SetOf(m, stdSet);
    if (k == 1) {  // the breaks: counts and ids of the earlier call stay
      EXPECT_EQ(nullptr, breaks);
      EXPECT_EQ(std::get<1>(own), counts);
    } else {
      ASSERT_NE(nullptr, breaks);
      EXPECT_EQ(expected.breaks, std::vector<double>(breaks, breaks + expected.breaks.size()));
    }
    if (k <= 2) {  // the counts: the earlier ids stay
      if (k == 2) {
        EXPECT_EQ(nullptr, counts);
      }
      EXPECT_EQ(std::get<2>(own), ids);
      EXPECT_EQ(ownIds, std::vector<std::int32_t>(ids, ids + ownIds.size()));
    } else {  // the scratch list's growth, then the ids
      ASSERT_NE(nullptr, counts);
      EXPECT_EQ(nullptr, ids);
    }
    if (k == n) {  // the ids: the counts are complete
      EXPECT_EQ(expected.counts, std::vector<std::int32_t>(counts, counts + expected.counts.size()));
    }
    EXPECT_EQ(other, SetOf(m, !stdSet));
    EXPECT_EQ(area, A::AreaID(m));
    expectFailureThenSuccess(m);
  });
}

}  // namespace

TEST(AllocFailure, EqualIntervalClasses) {
  FailEachClassAllocation({Method::kMaxMin, 2, 0, 0, 0});
}
TEST(AllocFailure, ClassesByStep) {
  FailEachClassAllocation({Method::kStep, 2, 2, AUTO_MAX, 0});
}
TEST(AllocFailure, ClassesByCount) {
  FailEachClassAllocation({Method::kGroup, 0, 3, 12, 0});
}
TEST(AllocFailure, StandardDeviationClasses) {
  FailEachClassAllocation({Method::kStd, 1, 1, 0, 0});
}
TEST(AllocFailure, StandardDeviationClassesInAWindow) {
  FailEachClassAllocation({Method::kStdWindow, 1, 0.5, 3, AUTO_MAX});
}

TEST(AllocFailure, WindowSelection) {
  std::int32_t* ids = nullptr;
  std::int32_t num = -1;
  std::int32_t* earlier = nullptr;
  std::int32_t status = 0;
  const Step call = [&](CMensora& m) {
    ids = nullptr;
    num = -1;
    status = m.DataStatByArea(0, 100, &ids, &num);
  };
  const Step prepare = [&](CMensora& m) {
    std::int32_t n = 0;
    ASSERT_EQ(1, m.DataStatByArea(4, 5, &earlier, &n));
  };
  FailEachAllocation(kSample, prepare, call, [&](CMensora& m, std::int64_t k, std::int64_t n) {
    EXPECT_EQ(-1, status);
    EXPECT_EQ(nullptr, ids);
    EXPECT_EQ(-1, num);
    if (k < n) {  // the scratch list: the earlier ids stay
      EXPECT_EQ(earlier, A::AreaID(m));
      EXPECT_EQ((std::vector<std::int32_t>{3, 4, 6}), std::vector<std::int32_t>(earlier, earlier + 3));
    } else {  // the id array: the earlier one is already released
      EXPECT_EQ(nullptr, A::AreaID(m));
    }
    EXPECT_EQ(0, A::Ordered(m));
    ASSERT_EQ(1, m.DataStatByArea(0, 100, &ids, &num));
    EXPECT_EQ(8, num);
  }, 5);
}
