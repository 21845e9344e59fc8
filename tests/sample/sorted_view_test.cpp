// The sorted view: both sorts, the order they give equal values, the gap
// search and the building of the view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "Mensora.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::vector<ORDER_DATA> Records(const std::vector<double>& v) {
  std::vector<ORDER_DATA> r(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) {
    r[i].dValue = v[i];
    r[i].lID = static_cast<std::int32_t>(i);
  }
  return r;
}

std::vector<ORDER_DATA> View(const CMensora& m) {
  return std::vector<ORDER_DATA>(A::View(m), A::View(m) + A::OrderNum(m));
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Each position once, each with the value the sample holds there.
void ExpectPermutationOf(const std::vector<double>& v, const std::vector<ORDER_DATA>& view) {
  ASSERT_EQ(v.size(), view.size());
  std::vector<bool> seen(v.size(), false);
  for (const ORDER_DATA r : view) {
    const std::int32_t id = r.lID;
    ASSERT_TRUE(id >= 0 && static_cast<std::size_t>(id) < v.size());
    EXPECT_FALSE(seen[id]) << "position " << id << " twice";
    seen[id] = true;
    EXPECT_TRUE(SameBits(v[id], r.dValue)) << "position " << id;
  }
}

struct HandSorted {
  std::vector<double> values;
  std::vector<std::int32_t> quickIds;
  std::vector<std::int32_t> bubbleIds;
};

// Worked out by hand from the two algorithms.
const HandSorted kHandSorted[] = {
    {{2, 2, 1}, {2, 0, 1}, {2, 1, 0}},
    {{3, 1, 2, 1, 3}, {3, 1, 2, 0, 4}, {1, 3, 2, 0, 4}},
    {{2, 1, 2, 1, 2}, {3, 1, 0, 2, 4}, {1, 3, 2, 0, 4}},
    {{1, 1, 1, 0}, {3, 0, 2, 1}, {3, 1, 2, 0}},
    {{5, 5, 5, 5}, {0, 1, 2, 3}, {0, 1, 2, 3}},
    {{1, 2, 3, 4}, {0, 1, 2, 3}, {0, 1, 2, 3}},
    {{7}, {0}, {0}},
    {{0.0, -0.0}, {0, 1}, {0, 1}},
    {{kNaN, 1, 0}, {0, 2, 1}, {2, 1, 0}},
};

}  // namespace

TEST(SortedView, HandWorkedOrdersOfBothSorts) {
  for (const HandSorted& c : kHandSorted) {
    std::vector<double> v = c.values;
    CMensora m(v.data(), static_cast<std::int32_t>(v.size()));
    EXPECT_EQ(1, A::OrderData(m, 0));
    EXPECT_EQ(c.quickIds, A::ViewIds(m)) << "quicksort, n=" << v.size();
    ExpectPermutationOf(v, View(m));
    EXPECT_EQ(1, A::OrderData(m, 1));
    EXPECT_EQ(c.bubbleIds, A::ViewIds(m)) << "exchange sort, n=" << v.size();
    ExpectPermutationOf(v, View(m));
  }
}

TEST(SortedView, SortsTouchOnlyTheRangeTheyAreGiven) {
  const std::vector<double> v = {9, 3, 2, 2, 1, 0};
  for (int type = 0; type < 2; ++type) {
    double d[] = {0};
    CMensora m(d, 1);
    std::vector<ORDER_DATA> r = Records(v);
    if (type == 0) A::QuickSort(m, r.data(), 1, 4); else A::BubbleSort(m, r.data(), 1, 4);
    std::vector<double> got;
    for (const ORDER_DATA x : r) got.push_back(x.dValue);
    EXPECT_EQ((std::vector<double>{9, 1, 2, 2, 3, 0}), got);
    // An empty range and a missing array are no-ops, and no field changes.
    const auto before = A::State(m);
    A::QuickSort(m, r.data(), 3, 2);
    A::BubbleSort(m, r.data(), 3, 2);
    A::QuickSort(m, nullptr, 0, 4);
    A::BubbleSort(m, nullptr, 0, 4);
    EXPECT_EQ(before, A::State(m));
    EXPECT_TRUE(r[0].dValue == 9);
  }
}

// Recursing into the larger part would nest about n deep here.
TEST(SortedView, SortedInputDoesNotExhaustTheStack) {
  const std::int32_t n = 200000;
  std::vector<double> v(n);
  for (std::int32_t i = 0; i < n; ++i) v[i] = i;
  CMensora m(v.data(), n);
  EXPECT_EQ(99999.5, m.MedianNum());
  const std::vector<std::int32_t> ids = A::ViewIds(m);
  for (std::int32_t i = 0; i < n; ++i) ASSERT_EQ(i, ids[i]);
}

TEST(SortedView, OrderDataTypes) {
  std::vector<double> v = {3, 1, 2};
  CMensora m(v.data(), 3);
  EXPECT_EQ(0, A::OrderData(m, 2));  // array order, not sorted
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 2}), A::ViewIds(m));
  EXPECT_EQ(0, A::Ordered(m));
  EXPECT_EQ(2.0, m.MedianNum());  // a user finds no valid view and sorts
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 0}), A::ViewIds(m));
  EXPECT_EQ(1, A::Ordered(m));

  // A direct call rebuilds from the caller's current values.
  v[1] = 10;
  EXPECT_EQ(1, A::OrderData(m, 1));
  EXPECT_EQ((std::vector<std::int32_t>{2, 0, 1}), A::ViewIds(m));
  EXPECT_TRUE(View(m)[2].dValue == 10);
  EXPECT_EQ(0, A::OrderData(m, -1));  // any other type: array order, result 0
  EXPECT_EQ(0, A::Ordered(m));
}

TEST(SortedView, OrderDataWithoutSampleOrValues) {
  CMensora none(nullptr, 3);
  const auto before = A::State(none);
  EXPECT_EQ(0, A::OrderData(none, 0));
  EXPECT_EQ(before, A::State(none));

  double d[] = {1};
  CMensora empty(d, 0);
  EXPECT_EQ(1, A::OrderData(empty, 0));
  EXPECT_NE(nullptr, A::View(empty));
  EXPECT_EQ(0, A::OrderNum(empty));
  EXPECT_EQ(1, A::Ordered(empty));
}

TEST(SortedView, GapSearch) {
  double d[] = {0};
  CMensora m(d, 1);
  std::vector<ORDER_DATA> r = Records({10, 20, 30, 40, 50});
  const struct { double value; std::int32_t gap; } cases[] = {
      {15, 0}, {25, 1}, {35, 2}, {45, 3}, {5, -1}, {10, -1}, {20, -1}, {50, -1},
      {55, -1}, {kInf, -1}, {-kInf, -1}, {kNaN, -1}, {10.000001, 0}, {49.999999, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.gap, A::DataIDSeach(m, r.data(), c.value, 5)) << c.value;
  }
  EXPECT_EQ(-1, A::DataIDSeach(m, r.data(), 15, 0));
  EXPECT_EQ(-1, A::DataIDSeach(m, r.data(), 15, 1));
  EXPECT_EQ(0, A::DataIDSeach(m, r.data(), 15, 2));
  EXPECT_EQ(-1, A::DataIDSeach(m, r.data(), 25, 2));
  EXPECT_EQ(-1, A::DataIDSeach(m, nullptr, 15, 5));

  // Every gap of longer sorted runs, with repeated values around it.
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<double> v(1 + rng() % 40);
    for (double& x : v) x = static_cast<double>(rng() % 30);
    std::sort(v.begin(), v.end());
    r = Records(v);
    const auto n = static_cast<std::int32_t>(v.size());
    for (std::int32_t k = 0; k + 1 < n; ++k) {
      if (v[k] == v[k + 1]) continue;
      EXPECT_EQ(k, A::DataIDSeach(m, r.data(), (v[k] + v[k + 1]) / 2, n));
      EXPECT_EQ(-1, A::DataIDSeach(m, r.data(), v[k], n));
    }
  }
}

// Many random samples drawn from few values, with ties, signed zeros,
// infinities and NaN.
TEST(SortedView, PropertiesOverRandomSamples) {
  const double pool[] = {-2, -1, -0.0, 0.0, 1, 1.5, 3, kInf, -kInf, kNaN};
  std::mt19937 rng(2024);
  for (int round = 0; round < 3000; ++round) {
    const bool withNaN = round % 3 == 0;
    std::vector<double> v(rng() % 41);
    for (double& x : v) x = pool[rng() % (withNaN ? 10 : 9)];
    const auto n = static_cast<std::int32_t>(v.size());
    CMensora m(v.data(), n);
    A::OrderData(m, 0);
    const std::vector<ORDER_DATA> quick = View(m);
    A::OrderData(m, 1);
    const std::vector<ORDER_DATA> bubble = View(m);
    SCOPED_TRACE(round);
    ExpectPermutationOf(v, quick);
    ExpectPermutationOf(v, bubble);
    if (std::any_of(v.begin(), v.end(), [](double x) { return std::isnan(x); })) continue;

    for (std::int32_t i = 0; i + 1 < n; ++i) {
      ASSERT_TRUE(quick[i].dValue <= quick[i + 1].dValue) << i;
      ASSERT_TRUE(bubble[i].dValue <= bubble[i + 1].dValue) << i;
    }
    // Position by position the same values; each run of equal values holds
    // the same positions in both views.
    for (std::int32_t i = 0; i < n;) {
      std::int32_t end = i;
      std::set<std::int32_t> q, b;
      while (end < n && quick[end].dValue == quick[i].dValue) {
        ASSERT_TRUE(quick[end].dValue == bubble[end].dValue) << end;
        q.insert(quick[end].lID);
        b.insert(bubble[end].lID);
        ++end;
      }
      ASSERT_EQ(q, b);
      i = end;
    }
  }
}
