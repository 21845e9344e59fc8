#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "Mensora.h"
#include "literal.h"
#include "support/range_result.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Fit {
  std::int32_t status = 0;
  double sdam = -1, sdcm = -1, gvf = -1, adcm = -1, tai = -1;
};

Fit Measure(CMensora& m, std::int32_t stdSet) {
  Fit f;
  f.status = m.DataSecFitNum(stdSet, &f.sdam, &f.sdcm, &f.gvf, &f.adcm, &f.tai);
  return f;
}

// The measures by their definitions, in long double, over the members as
// listed; a class median is the mean of the two middle values for an even
// count.
Fit Direct(const std::vector<double>& data, const RangeResult& r) {
  std::vector<long double> all;
  long double sdcm = 0, adcm = 0, sacm = 0;
  for (const auto& members : r.classes) {
    if (members.empty()) continue;
    std::vector<long double> v;
    for (std::int32_t id : members) v.push_back(data[id]);
    std::sort(v.begin(), v.end());
    long double sum = 0;
    for (long double x : v) sum += x;
    const long double mean = sum / v.size();
    const std::size_t c = v.size();
    const long double median = c % 2 ? v[c / 2] : (v[c / 2 - 1] + v[c / 2]) / 2;
    for (long double x : v) {
      sdcm += (x - mean) * (x - mean);
      sacm += std::fabs(x - mean);
      adcm += std::fabs(x - median);
    }
    all.insert(all.end(), v.begin(), v.end());
  }
  long double sum = 0;
  for (long double x : all) sum += x;
  const long double mean = sum / all.size();
  long double sdam = 0, saam = 0;
  for (long double x : all) {
    sdam += (x - mean) * (x - mean);
    saam += std::fabs(x - mean);
  }
  Fit f;
  f.status = 1;
  f.sdam = static_cast<double>(sdam);
  f.sdcm = static_cast<double>(sdcm);
  f.adcm = static_cast<double>(adcm);
  f.gvf = sdam == 0 ? 1.0 : static_cast<double>(1 - sdcm / sdam);
  f.tai = saam == 0 ? 1.0 : static_cast<double>(1 - sacm / saam);
  return f;
}

using Classify = std::function<std::int32_t(CMensora&, double**, std::int32_t*, std::int32_t**,
                                            std::int32_t**)>;

}  // namespace

TEST(ClassFit, WorkedExample) {
  std::vector<double> data{10, 1, 12, 3, 2, 11};
  CMensora m(data.data(), 6);
  ASSERT_EQ(1, RunRange(m, &CMensora::DataSecByNaturalBreaks, 2).status);
  const Fit f = Measure(m, 0);
  ASSERT_EQ(1, f.status);
  EXPECT_EQ(125.5, f.sdam);  // deviations 5.5, 4.5, 3.5 on either side of 6.5
  EXPECT_EQ(4, f.sdcm);      // 1 + 0 + 1 in each class
  EXPECT_EQ(1 - 4 / 125.5, f.gvf);
  EXPECT_EQ(4, f.adcm);      // about the medians 2 and 11
  EXPECT_EQ(1 - 4 / 27.0, f.tai);
}

// Every class method, the range and the standard-deviation sets, on random
// samples with ties and NaN: the measures agree with their definitions.
TEST(ClassFit, AgreesWithTheDefinitionsOnRandomSamples) {
  const double percents[] = {0, 20, 50, 90};
  const double breaks[] = {-3, 0, 0.5, 4};
  const std::vector<std::pair<Classify, std::int32_t>> methods{
      {[](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByMaxMin(4, b, n, i, c);
       }, 0},
      {[](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByQuantile(3, b, n, i, c);
       }, 0},
      {[](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByNaturalBreaks(3, b, n, i, c);
       }, 0},
      {[](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByHeadTail(0.4, b, n, i, c);
       }, 0},
      {[&](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByPercentile(percents, 4, b, n, i, c);
       }, 0},
      {[&](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByBreaks(breaks, 4, b, n, i, c);
       }, 0},
      {[](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByAverStd(1, 0.5, b, n, i, c);
       }, 1},
  };
  std::mt19937 rng(11);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<double> data;
    const int n = 1 + static_cast<int>(rng() % 50);
    for (int i = 0; i < n; ++i) {
      data.push_back(rng() % 13 == 0 ? kNaN : (static_cast<double>(rng() % 40) - 12) / 4);
    }
    for (const auto& [classify, stdSet] : methods) {
      CMensora m(data.data(), n);
      const RangeResult r = RunClasses(m, classify);
      ASSERT_EQ(1, r.status);
      const Fit f = Measure(m, stdSet);
      const Fit d = Direct(data, r);
      ASSERT_EQ(1, f.status);
      if (r.ids.empty()) continue;
      const double scale = 1e-12 * (1 + d.sdam);
      EXPECT_NEAR(d.sdam, f.sdam, scale);
      EXPECT_NEAR(d.sdcm, f.sdcm, scale);
      EXPECT_NEAR(d.adcm, f.adcm, 1e-12 * (1 + d.adcm));
      EXPECT_NEAR(d.gvf, f.gvf, 1e-12);
      EXPECT_NEAR(d.tai, f.tai, 1e-12);
    }
  }
}

// No spread: every deviation exactly 0, GVF and TAI 1. No member: sums 0,
// GVF and TAI NaN. No current result of the set asked for, or an output
// missing: -1 with nothing written.
TEST(ClassFit, DegenerateResultsAndNoResult) {
  std::vector<double> same{0.1, 0.1, 0.1, 0.1, 0.1};
  CMensora m(same.data(), 5);
  ASSERT_EQ(1, RunRange(m, &CMensora::DataSecByQuantile, 2).status);
  Fit f = Measure(m, 0);
  EXPECT_EQ(0, f.sdam);
  EXPECT_EQ(0, f.sdcm);
  EXPECT_EQ(0, f.adcm);
  EXPECT_EQ(1, f.gvf);
  EXPECT_EQ(1, f.tai);
  EXPECT_EQ(-1, Measure(m, 1).status);  // no standard-deviation result yet
  double unset = -5;
  EXPECT_EQ(-1, m.DataSecFitNum(0, &unset, &unset, nullptr, &unset, &unset));
  EXPECT_EQ(-5, unset);

  std::vector<double> nan{kNaN, kNaN};
  CMensora none(nan.data(), 2);
  ASSERT_EQ(1, RunRange(none, &CMensora::DataSecByQuantile, 3).status);
  f = Measure(none, 0);
  EXPECT_EQ(0, f.sdam);
  EXPECT_TRUE(std::isnan(f.gvf) && std::isnan(f.tai));

  CMensora copy(nullptr, 0);
  EXPECT_EQ(-1, Measure(copy, 0).status);
  copy = m;  // a copy starts without results
  EXPECT_EQ(-1, Measure(copy, 0).status);
  EXPECT_EQ(1, Measure(m, 0).status);
}

// The fit's sums share passes over the members; each still adds its terms in
// the order of one pass of its own, so the measures are those of the passes
// bit for bit: skewed values, ties, huge and infinite values, NaN (in no
// class), empty classes.
TEST(ClassFit, EqualsOnePassPerSumBitForBit) {
  std::mt19937_64 rng(29);
  std::lognormal_distribution<double> skewed(0.0, 2.0);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 1 + static_cast<int>(rng() % 300);
    const int kind = trial % 4;
    std::vector<double> data(static_cast<std::size_t>(n));
    for (double& v : data) {
      v = kind == 0 ? skewed(rng) : kind == 1 ? static_cast<double>(rng() % 6) : skewed(rng) * 1e300;
      if (kind == 3 && rng() % 9 == 0) v = rng() % 2 ? kInf : -kInf;
      if (rng() % 17 == 0) v = kNaN;
    }
    CMensora m(data.data(), n);
    const std::int32_t k = 1 + static_cast<std::int32_t>(rng() % 12);
    const RangeResult r = trial % 2 ? RunRange(m, &CMensora::DataSecByQuantile, k)
                                    : RunRange(m, &CMensora::DataSecByMaxMin, k);
    ASSERT_EQ(1, r.status);
    std::vector<double> members;
    std::vector<std::int32_t> counts;
    for (const auto& ids : r.classes) {
      const std::size_t first = members.size();
      for (std::int32_t id : ids) members.push_back(data[id]);
      std::sort(members.begin() + static_cast<std::ptrdiff_t>(first), members.end());
      counts.push_back(static_cast<std::int32_t>(ids.size()));
    }
    const std::array<double, 5> want =
        mensora_ref::ClassFitByPasses(members.data(), counts.data(), k);
    double got[5];
    ASSERT_EQ(1, m.DataSecFitNum(0, &got[0], &got[1], &got[2], &got[3], &got[4]));
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(0, std::memcmp(&want[i], &got[i], sizeof got[i]))
          << "trial " << trial << " measure " << i << ": " << want[i] << " " << got[i];
    }
  }
}

namespace {

RangeResult NaturalAuto(CMensora& m, std::int32_t maxClasses, double minGvf) {
  return RunClasses(m, [=](CMensora& o, double** b, std::int32_t* n, std::int32_t** i,
                           std::int32_t** c) {
    return o.DataSecByNaturalBreaksAuto(maxClasses, minGvf, b, n, i, c);
  });
}

}  // namespace

// The member against trying every count: the fewest classes whose natural
// breaks reach the GVF, with the breaks of DataSecByNaturalBreaks for that
// count; the largest count where none does.
TEST(NaturalAuto, TheFewestClassesThatReachTheFit) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 150; ++trial) {
    const int n = 2 + static_cast<int>(rng() % (trial < 100 ? 40 : 3000));
    std::vector<double> data;
    for (int i = 0; i < n; ++i) {
      const double v = trial % 3 == 0 ? static_cast<double>(rng() % 25)
                                      : std::exp(static_cast<double>(rng() % 100000) / 12000.0);
      data.push_back(rng() % 17 == 0 ? kNaN : v);
    }
    const auto maxClasses = static_cast<std::int32_t>(2 + rng() % 9);
    const double minGvf = std::vector<double>{0.5, 0.8, 0.9, 0.95, 0.99, 1.0}[rng() % 6];
    std::int32_t expected = maxClasses;
    RangeResult expectedResult;
    for (std::int32_t k = maxClasses; k >= 2; --k) {
      CMensora m(data.data(), n);
      const RangeResult r = RunRange(m, &CMensora::DataSecByNaturalBreaks, k);
      if (k == maxClasses) expectedResult = r;
      if (Measure(m, 0).gvf >= minGvf) {
        expected = k;
        expectedResult = r;
      }
    }
    CMensora m(data.data(), n);
    const RangeResult r = NaturalAuto(m, maxClasses, minGvf);
    ASSERT_EQ(1, r.status);
    EXPECT_EQ(expected, static_cast<std::int32_t>(r.breaks.size()) - 1)
        << "trial " << trial << ", GVF " << minGvf;
    EXPECT_EQ(expectedResult.breaks, r.breaks) << "trial " << trial;
    EXPECT_EQ(expectedResult.ids, r.ids);
  }
}

TEST(NaturalAuto, DegenerateSamplesAndBadArguments) {
  std::vector<double> data{3, 3, 3};
  CMensora same(data.data(), 3);
  RangeResult r = NaturalAuto(same, 6, 0.9);  // no spread: two classes fit it
  EXPECT_EQ((std::vector<double>{3, 3, 3}), r.breaks);
  data = {1, 2, kInf, 4};
  CMensora infinite(data.data(), 4);
  EXPECT_EQ(6u, NaturalAuto(infinite, 5, 0.5).breaks.size());  // no GVF: the largest count
  data = {kNaN, kNaN};
  CMensora none(data.data(), 2);
  r = NaturalAuto(none, 4, 0.5);
  EXPECT_EQ(5u, r.breaks.size());
  EXPECT_TRUE(r.ids.empty());
  data = {1, 2, 10, 11, 30};
  CMensora m(data.data(), 5);
  EXPECT_EQ(3u, NaturalAuto(m, 8, 0.0).breaks.size());  // any fit: two classes
  EXPECT_EQ(6u, NaturalAuto(m, 8, 1.0).breaks.size());  // a perfect fit: a class per value
  for (const auto& [maxClasses, minGvf] : std::vector<std::pair<std::int32_t, double>>{
           {1, 0.5}, {0, 0.5}, {5, -0.1}, {5, 1.1}, {5, kNaN}}) {
    EXPECT_EQ(-1, NaturalAuto(m, maxClasses, minGvf).status);
  }
}
