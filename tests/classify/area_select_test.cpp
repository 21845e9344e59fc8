// Selection of the positions whose values lie in a half-open value window.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct AreaCase {
  std::vector<double> values;
  double lo, hi;
  std::vector<std::int32_t> ids;  // empty: the call selects nothing, -1
};

const AreaCase kAreaCases[] = {
    {{3, 1, 4, 1, 5}, 1, 4, {0, 1, 3}},
    {{3, 1, 4, 1, 5}, 5, 6, {4}},
    {{3, 1, 4, 1, 5}, 6, 10, {}},
    {{3, 1, 4, 1, 5}, 4, 4, {}},
    {{3, 1, 4, 1, 5}, 5, 1, {}},
    {{3, 1, 4, 1, 5}, kNaN, 2, {1, 3}},
    {{3, 1, 4, 1, 5}, 2, kNaN, {0, 2, 4}},
    {{3, 1, 4, 1, 5}, -kInf, kInf, {0, 1, 2, 3, 4}},
    {{1, kNaN, 3}, 10, 20, {1}},
    {{1, kInf, -kInf}, -kInf, kInf, {0, 2}},
    {{1, kInf, -kInf}, 0, kInf, {0}},
    {{1, kInf, -kInf}, 0, kNaN, {0, 1}},
    {{1, kInf, -kInf}, -kInf, -kInf, {}},
    {{-0.0, 0.0}, 0.0, 1, {0, 1}},
    {{}, -kInf, kInf, {}},
};

}  // namespace

TEST(AreaSelect, Windows) {
  for (const AreaCase& c : kAreaCases) {
    std::vector<double> v = c.values;
    v.push_back(2);  // beyond n: never read
    CMensora m(v.data(), static_cast<std::int32_t>(c.values.size()));
    std::int32_t* ids = nullptr;
    std::int32_t num = -5;
    const std::int32_t status = m.DataStatByArea(c.lo, c.hi, &ids, &num);
    SCOPED_TRACE(testing::Message() << "[" << c.lo << ", " << c.hi << ")");
    if (c.ids.empty()) {
      EXPECT_EQ(-1, status);
      EXPECT_EQ(nullptr, ids);
      EXPECT_EQ(-5, num);
      EXPECT_EQ(nullptr, A::AreaID(m));
    } else {
      ASSERT_EQ(1, status);
      EXPECT_EQ(c.ids, std::vector<std::int32_t>(ids, ids + num));
      EXPECT_EQ(ids, A::AreaID(m));
    }
  }
}

// Only the id buffer may change: the selection reads the caller's array
// afresh and never builds the view or touches a cached measure.
TEST(AreaSelect, BufferAndCacheRules) {
  std::vector<double> v = {3, 1, 4, 1, 5};
  CMensora m(v.data(), 5);
  std::int32_t* first = nullptr;
  std::int32_t num = 0;
  auto state = A::State(m);
  ASSERT_EQ(1, m.DataStatByArea(1, 4, &first, &num));
  auto after = A::State(m);
  state[14] = after[14];
  EXPECT_EQ(state, after);

  // Nothing selected: the earlier array stays valid and unchanged.
  std::int32_t* none = nullptr;
  std::int32_t noneNum = -5;
  EXPECT_EQ(-1, m.DataStatByArea(6, 10, &none, &noneNum));
  EXPECT_EQ(first, A::AreaID(m));
  EXPECT_EQ((std::vector<std::int32_t>{0, 1, 3}), std::vector<std::int32_t>(first, first + 3));
  EXPECT_EQ(-5, noneNum);
  // Null out-pointers are rejected before anything is done.
  const auto kept = A::State(m);
  EXPECT_EQ(-1, m.DataStatByArea(0, 10, nullptr, &noneNum));
  EXPECT_EQ(-1, m.DataStatByArea(0, 10, &none, nullptr));
  EXPECT_EQ(kept, A::State(m));
  EXPECT_EQ(-5, noneNum);

  v[4] = 2;
  std::int32_t* second = nullptr;
  ASSERT_EQ(1, m.DataStatByArea(2, 4, &second, &num));
  EXPECT_EQ((std::vector<std::int32_t>{0, 4}), std::vector<std::int32_t>(second, second + num));
  EXPECT_EQ(second, A::AreaID(m));

  CMensora noSample(nullptr, 5);
  const auto fresh = A::State(noSample);
  EXPECT_EQ(-1, noSample.DataStatByArea(0, 10, &none, &noneNum));
  EXPECT_EQ(fresh, A::State(noSample));
}
