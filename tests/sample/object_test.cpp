// Construction, destruction and copy assignment of the sample object.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "Mensora.h"
#include "support/class_out.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

static_assert(!std::is_copy_constructible<CMensora>::value, "copy construction is forbidden");
static_assert(std::is_copy_assignable<CMensora>::value, "copy assignment is offered");
static_assert(!std::is_polymorphic<CMensora>::value, "no virtual members");
static_assert(!std::is_default_constructible<CMensora>::value, "only the sample constructor");
static_assert(sizeof(ORDER_DATA) == 12 && offsetof(ORDER_DATA, lID) == 8, "packed record");

namespace {

// Calls every public member once (and a class method of each family).
void CallEverything(CMensora& m) {
  m.SimpleArithAverNum();
  m.PowerArithAverNum(0);
  m.GeometryAverNum();
  m.NumerousNum();
  m.MedianNum();
  double* sub = nullptr;
  std::int32_t subNum = 0;
  m.SubSectionNum(&sub, 2, &subNum);
  double mx = 0, mn = 0;
  m.ExtremumNum(&mx, &mn);
  m.ExtreDifNum();
  m.DisDifAverNum();
  m.DeflectDegree();
  m.ApexDegree();
  m.AlterDifCoe();
  std::int32_t* area = nullptr;
  std::int32_t areaNum = 0;
  m.DataStatByArea(2, 5, &area, &areaNum);
  ClassOut o;
  Classify(m, Method::kMaxMin, 3, 0, 0, 0, o);
  Classify(m, Method::kStep, 1, 1, AUTO_MAX, 0, o);
  Classify(m, Method::kGroup, 1, 2, AUTO_MAX, 0, o);
  Classify(m, Method::kStd, 1, 1, 0, 0, o);
  Classify(m, Method::kStdWindow, 1, 1, AUTO_MIN, AUTO_MAX, o);
}

}  // namespace

TEST(Object, FreshObjectHoldsNothing) {
  double v[] = {1, 2};
  CMensora m(v, 2);
  const std::vector<std::uint64_t> s = A::State(m);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(v), s[0]);
  EXPECT_EQ(2u, s[1]);
  for (std::size_t i = 2; i < s.size(); ++i) EXPECT_EQ(0u, s[i]) << "field " << i;
}

TEST(Object, DestructionNeverTouchesTheCallersArray) {
  // The array is gone before the object: the destructor must not read it.
  auto data = std::make_unique<double[]>(3);
  auto m = std::make_unique<CMensora>(data.get(), 3);
  data.reset();
  m.reset();
  // No checks of the arguments either.
  CMensora none(nullptr, -5);
}

TEST(Object, NoMemberWritesTheCallersArray) {
  std::vector<double> v = {5, 3, 3, 9, -1, 0.5, 7, 3};
  const std::vector<double> before = v;
  CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
  CallEverything(m);
  EXPECT_EQ(0, std::memcmp(before.data(), v.data(), v.size() * sizeof(double)));
}

TEST(Object, SelfAssignmentChangesNothing) {
  double v[] = {4, 1, 3, 2, 5};
  CMensora m(v, 5);
  CallEverything(m);
  const auto before = A::State(m);
  const std::vector<std::int32_t> viewBefore = A::ViewIds(m);
  CMensora& self = m;
  m = self;
  EXPECT_EQ(before, A::State(m));
  EXPECT_EQ(viewBefore, A::ViewIds(m));
}

TEST(Object, AssignmentCopiesSampleCachesAndViewButNoResultBuffers) {
  double sv[] = {2, 2, 1, 7};
  double tv[] = {9, 8};
  CMensora source(sv, 4);
  double* sub = nullptr;
  std::int32_t subNum = 0;
  source.SubSectionNum(&sub, 1, &subNum);  // view by the exchange sort
  CallEverything(source);
  ClassOut srcOut;
  ASSERT_EQ(1, Classify(source, Method::kMaxMin, 2, 0, 0, 0, srcOut));
  const auto sourceState = A::State(source);
  const std::vector<std::int32_t> srcIds = srcOut.Ids();

  CMensora target(tv, 2);
  CallEverything(target);
  target = source;

  // The source is unaffected, and so are the arrays it handed out.
  EXPECT_EQ(sourceState, A::State(source));
  EXPECT_EQ(srcIds, srcOut.Ids());

  // The target reads the source's sample with the source's caches and flags.
  const auto t = A::State(target);
  for (std::size_t i : {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 21, 23, 24}) {
    EXPECT_EQ(sourceState[i], t[i]) << "field " << i;
  }
  // Its own copy of the view, record for record.
  ASSERT_NE(nullptr, A::View(target));
  EXPECT_NE(A::View(source), A::View(target));
  EXPECT_EQ(4, A::OrderNum(target));
  EXPECT_EQ(1, A::Ordered(target));
  EXPECT_EQ(0, std::memcmp(A::View(source), A::View(target), 4 * sizeof(ORDER_DATA)));
  // No result buffers: each is rebuilt by its next call.
  for (std::size_t i = 13; i <= 20; ++i) EXPECT_EQ(0u, t[i]) << "field " << i;

  // The copied view keeps the exchange sort's order of equal values.
  ClassOut o;
  ASSERT_EQ(1, Classify(target, Method::kMaxMin, 2, 0, 0, 0, o));
  EXPECT_EQ(srcIds, o.Ids());
  EXPECT_NE(srcOut.ids, o.ids);
}

TEST(Object, AssignmentFromAnObjectWithoutViewLeavesTheTargetWithout) {
  double sv[] = {3, 1, 2};
  double tv[] = {9, 8};
  CMensora source(sv, 3);
  CMensora target(tv, 2);
  EXPECT_EQ(8.5, target.MedianNum());
  target = source;
  EXPECT_EQ(nullptr, A::View(target));
  EXPECT_EQ(0, A::OrderNum(target));
  EXPECT_EQ(0, A::Ordered(target));
  EXPECT_EQ(2.0, target.MedianNum());
  EXPECT_EQ(nullptr, A::View(source));
}
