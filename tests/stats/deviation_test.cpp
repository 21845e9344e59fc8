// Deviations from the mean, the spread measures and the shape statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "Mensora.h"
#include "support/test_access.h"

using A = MensoraTestAccess;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Equal as results: both NaN, or equal with the same sign of zero.
::testing::AssertionResult Same(double expected, double actual) {
  if ((std::isnan(expected) && std::isnan(actual)) ||
      (expected == actual && std::signbit(expected) == std::signbit(actual))) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

struct Spread {
  std::vector<double> values;
  double absAver, sqrSum, var, sd, coef, skew, kurt;
};

}  // namespace

TEST(Deviation, WorkedExample) {
  std::vector<double> v = {2, 4, 4, 4, 5, 5, 7, 9};
  CMensora m(v.data(), 8);
  std::vector<double> dev(8, 99);
  m.DisDifNum(dev.data());
  EXPECT_EQ((std::vector<double>{-3, -1, -1, -1, 0, 0, 2, 4}), dev);
  EXPECT_EQ(1.5, m.DisDifAverNum());
  EXPECT_EQ(32.0, m.DisDifSqrSum());
  EXPECT_EQ(4.0, m.SqrDifNum());
  EXPECT_EQ(2.0, m.StandDifNum());
  EXPECT_EQ(2.0, m.SqraverDifNum());
  EXPECT_EQ(0.4, m.AlterDifCoe());
  EXPECT_DOUBLE_EQ(5.25 * std::sqrt(1.0 / 48.0), m.DeflectDegree());
  EXPECT_DOUBLE_EQ(std::sqrt(1.0 / 3.0) * (89.0 / 32.0 - 3.0), m.ApexDegree());
}

TEST(Deviation, DegenerateSamples) {
  const Spread cases[] = {
      {{}, kNaN, 0.0, kNaN, kNaN, kNaN, kNaN, kNaN},
      {{3}, 0, 0, 0, 0, 0.0, kNaN, kNaN},
      {{-3}, 0, 0, 0, 0, -0.0, kNaN, kNaN},
      {{0}, 0, 0, 0, 0, kNaN, kNaN, kNaN},
      {{5, 5, 5}, 0, 0, 0, 0, 0.0, kNaN, kNaN},
      {{0, 0}, 0, 0, 0, 0, kNaN, kNaN, kNaN},
      {{-1, 1}, 1, 2, 1, 1, kInf, 0.0, -std::sqrt(2.0 / 24.0) * 2.0},
      {{-1, -3}, 1, 2, 1, 1, -0.5, 0.0, -std::sqrt(2.0 / 24.0) * 2.0},
      {{1, kNaN, 2}, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN},
  };
  for (const Spread& c : cases) {
    std::vector<double> v = c.values;
    v.push_back(123);  // the object must not read past n
    CMensora m(v.data(), static_cast<std::int32_t>(c.values.size()));
    SCOPED_TRACE(c.values.size());
    EXPECT_TRUE(Same(c.absAver, m.DisDifAverNum()));
    EXPECT_TRUE(Same(c.sqrSum, m.DisDifSqrSum()));
    EXPECT_TRUE(Same(c.var, m.SqrDifNum()));
    EXPECT_TRUE(Same(c.sd, m.StandDifNum()));
    EXPECT_TRUE(Same(c.sd, m.SqraverDifNum()));
    EXPECT_TRUE(Same(c.coef, m.AlterDifCoe()));
    EXPECT_TRUE(Same(c.skew, m.DeflectDegree()));
    EXPECT_TRUE(Same(c.kurt, m.ApexDegree()));
    EXPECT_EQ(1, A::DisDifDone(m));
  }
}

TEST(Deviation, NoSampleAndNoOutputArray) {
  CMensora none(nullptr, 3);
  const auto before = A::State(none);
  double out[3] = {7, 7, 7};
  none.DisDifNum(out);
  EXPECT_EQ(0.0, none.StandDifNum());
  EXPECT_EQ(0.0, none.DeflectDegree());
  EXPECT_EQ(0.0, none.ApexDegree());
  EXPECT_EQ(before, A::State(none));
  EXPECT_EQ(7, out[0]);

  double v[] = {1, 2};
  CMensora m(v, 2);
  const auto fresh = A::State(m);
  m.DisDifNum(nullptr);
  EXPECT_EQ(fresh, A::State(m));
}

// The deviations may be written over the sample itself: the measures are
// those of the sample before the call.
TEST(Deviation, OutputArrayMayBeTheSample) {
  std::vector<double> v = {2, 4, 4, 4, 5, 5, 7, 9};
  CMensora m(v.data(), 8);
  m.DisDifNum(v.data());
  EXPECT_EQ((std::vector<double>{-3, -1, -1, -1, 0, 0, 2, 4}), v);
  EXPECT_EQ(2.0, m.StandDifNum());
  EXPECT_EQ(5.0, A::AverNum(m));
  EXPECT_EQ(0.0, m.SimpleArithAverNum());
}

TEST(Deviation, CacheRules) {
  std::vector<double> v = {2, 4, 4, 4, 5, 5, 7, 9};
  CMensora m(v.data(), 8);
  EXPECT_EQ(2.0, m.StandDifNum());
  for (double& x : v) x *= 3;  // 6 .. 27, mean 15, sd 6
  EXPECT_EQ(2.0, m.StandDifNum());  // cached
  EXPECT_EQ(4.0, m.SqrDifNum());
  EXPECT_EQ(0.4, m.AlterDifCoe());

  // A direct call recomputes, but around the stored mean 5.
  std::vector<double> dev(8);
  m.DisDifNum(dev.data());
  EXPECT_EQ(1.0, dev[0]);
  EXPECT_EQ(10.0, m.DisDifAverNum());
  // Only a new mean moves the centre.
  EXPECT_EQ(15.0, m.SimpleArithAverNum());
  EXPECT_EQ(10.0, m.DisDifAverNum());
  m.DisDifNum(dev.data());
  EXPECT_EQ(6.0, m.StandDifNum());
  EXPECT_EQ(0.4, m.AlterDifCoe());

  // The shape statistics read the sample afresh with the stored measures.
  EXPECT_DOUBLE_EQ(5.25 * std::sqrt(1.0 / 48.0), m.DeflectDegree());
  v[7] = 15;
  EXPECT_DOUBLE_EQ(-2.75 * std::sqrt(1.0 / 48.0), m.DeflectDegree());
  EXPECT_EQ(6.0, m.StandDifNum());
}

#if defined(__linux__)
// 6 x n is formed without 32-bit overflow. The sample is a reserved zero
// mapping of more than 2^31 / 6 values, one of them 1, read but never
// written; the mean and standard deviation are seeded so that no scratch
// array of n values is needed.
TEST(Deviation, SkewnessStatisticForVeryLargeSamples) {
  const std::int32_t n = 357913942;  // 6 n = 2^31 + 4
  const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(double);
  void* map = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (map == MAP_FAILED) GTEST_SKIP() << "no address space for the sample";
  double* data = static_cast<double*>(map);
  data[0] = 1.0;
  CMensora m(data, n);
  A::SeedMeanAndStd(m, 0.0, 1.0);
  EXPECT_EQ(std::sqrt(1.0 / (6.0 * n)), m.DeflectDegree());
  munmap(map, bytes);
}
#endif
