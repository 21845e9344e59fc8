#include <gtest/gtest.h>

#include "Mensora.h"
#include "support/test_access.h"

TEST(Smoke, WorkedExamples) {
  double v[] = {4, 1, 3, 2, 5};
  CMensora m(v, 5);
  double* br = nullptr; std::int32_t bn = 0; std::int32_t* ids = nullptr; std::int32_t* cnt = nullptr;
  ASSERT_EQ(1, m.DataSecByMaxMin(2, &br, &bn, &ids, &cnt));
  EXPECT_EQ(3, bn);
  EXPECT_EQ(2, cnt[0]); EXPECT_EQ(3, cnt[1]);
  std::vector<std::int32_t> got(ids, ids + 5);
  EXPECT_EQ((std::vector<std::int32_t>{1, 3, 2, 0, 4}), got);
  EXPECT_EQ(3.0, m.MedianNum());
}
