// The members behind legends: round breaks refused with nothing touched, the
// closing rule of each set's result, and the extremes of its classes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "support/class_out.h"

TEST(RoundBreaksMember, RefusedWithNothingTouched) {
  std::vector<double> data{1.5, 2.25, 7, 9.75};
  CMensora m(data.data(), 4);
  ClassOut o;
  EXPECT_EQ(-1, m.DataSecRoundBreaks(0, &o.breaks, &o.breakNum, &o.ids, &o.counts));
  EXPECT_TRUE(o.Untouched());
  EXPECT_EQ(-1, m.DataSecLastClass(0));
  ASSERT_EQ(1, Classify(m, Method::kMaxMin, 2, 0, 0, 0, o));
  const std::vector<double> exact = o.Breaks();
  ClassOut none;
  EXPECT_EQ(-1, m.DataSecRoundBreaks(1, &none.breaks, &none.breakNum, &none.ids, &none.counts));
  EXPECT_EQ(-1, m.DataSecRoundBreaks(0, nullptr, &none.breakNum, &none.ids, &none.counts));
  EXPECT_TRUE(none.Untouched());
  EXPECT_EQ(exact, o.Breaks());

  ClassOut r;
  ASSERT_EQ(1, m.DataSecRoundBreaks(0, &r.breaks, &r.breakNum, &r.ids, &r.counts));
  EXPECT_EQ(o.breaks, r.breaks);  // rewritten in place
  EXPECT_EQ((std::vector<double>{0, 6, 10}), r.Breaks());  // 6 nearer 5.625 than 5
  EXPECT_EQ(o.Counts(), r.Counts());
}

// 0 open (standard deviation), 1 closed, 2 the closing rule of equal widths;
// each set keeps its own.
TEST(RoundBreaksMember, LastClassOfEachSet) {
  std::vector<double> data{3, 1, 4, 1, 5, 9, 2, 6};
  CMensora m(data.data(), 8);
  ClassOut o;
  ASSERT_EQ(1, Classify(m, Method::kStd, 1, 1.0, 0, 0, o));
  ASSERT_EQ(1, Classify(m, Method::kGroup, 0, 3, 9, 0, o));
  EXPECT_EQ(0, m.DataSecLastClass(1));
  EXPECT_EQ(2, m.DataSecLastClass(0));
  ASSERT_EQ(1, m.DataSecByQuantile(3, &o.breaks, &o.breakNum, &o.ids, &o.counts));
  EXPECT_EQ(1, m.DataSecLastClass(0));

  double lowest[3], highest[3];
  std::int32_t whole = -1;
  ASSERT_EQ(1, m.DataSecClassExtremes(0, lowest, highest, &whole));
  EXPECT_EQ(1, whole);
  for (std::int32_t s = 0; s < 3; ++s) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::int32_t id : o.Ids()) {
      const double v = data[static_cast<std::size_t>(id)];
      if (v >= o.breaks[s] && (v < o.breaks[s + 1] || (s == 2 && v <= o.breaks[3]))) {
        lo = std::min(lo, v), hi = std::max(hi, v);
      }
    }
    EXPECT_EQ(lo, lowest[s]) << s;
    EXPECT_EQ(hi, highest[s]) << s;
  }
}
