// The C interface against the class: over random samples and random call
// sequences every C function gives the bits the class gives (the fit of
// either class set included, whatever calls came before); the weighted
// breaks equal the class's breaks over the expanded sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Mensora.h"
#include "mensora_c.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t Bits(double d) {
  std::uint64_t b = 0;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

template <class T>
std::vector<T> Copy(const T* p, std::int64_t n) {
  return n <= 0 ? std::vector<T>() : std::vector<T>(p, p + n);
}

std::vector<std::uint64_t> BitsOf(const double* p, std::int64_t n) {
  std::vector<std::uint64_t> bits;
  for (std::int64_t i = 0; i < n; ++i) bits.push_back(Bits(p[i]));
  return bits;
}

// Values with ties, signed zeros, NaN and infinities.
double RandomValue(std::mt19937_64& rng, int distinct) {
  const double specials[] = {0.0, -0.0, kNaN, kInf, -kInf, 1e308, -1e308, 5e-324};
  const auto r = rng() % 100;
  if (r < 8) return specials[r];
  if (r < 60) return static_cast<double>(static_cast<int>(rng() % static_cast<unsigned>(distinct)) - distinct / 2);
  return std::ldexp(static_cast<double>(rng() % 100000) - 50000.0, -static_cast<int>(rng() % 20));
}

// Whether a class call of the C interface and one of the class agree: the
// same success, and on success the same breaks, counts and ids.
void ExpectSameClasses(int status, const mensora_classes& c, std::int32_t member,
                       const double* breaks, std::int32_t breakNum, const std::int32_t* ids,
                       const std::int32_t* counts) {
  // A result with a NaN break is the C interface's data error.
  bool nanBreak = false;
  for (std::int32_t b = 0; member == 1 && b < breakNum; ++b) nanBreak |= std::isnan(breaks[b]);
  if (nanBreak) {
    EXPECT_EQ(MENSORA_ERROR_DATA, status);
    return;
  }
  ASSERT_EQ(member == 1, status == MENSORA_OK) << status;
  if (member != 1) return;
  ASSERT_EQ(breakNum - 1, c.class_count);
  EXPECT_EQ(BitsOf(breaks, breakNum), BitsOf(c.breaks, breakNum));
  ASSERT_EQ(Copy(counts, breakNum - 1), Copy(c.counts, breakNum - 1));
  std::int64_t total = 0;
  for (std::int32_t s = 0; s + 1 < breakNum; ++s) total += counts[s];
  EXPECT_EQ(Copy(ids, total), Copy(c.ids, total));
}

// count (1..5) random breaks or percentiles, mostly ascending, sometimes
// with a NaN, an infinity or a percentile beyond 0..100.
std::vector<double> RandomLimits(std::mt19937_64& rng, bool percents) {
  const double pick[] = {-1.0, 0.0, 12.5, 25.0, 50.0, 99.9, 100.0, 101.0};
  std::vector<double> limits(1 + rng() % 5);
  for (double& x : limits) {
    x = percents ? pick[rng() % 8] : RandomValue(rng, 20);
    if (std::isnan(x)) x = 0.0;
  }
  if (rng() % 4 != 0) std::sort(limits.begin(), limits.end());
  if (rng() % 8 == 0) limits[rng() % limits.size()] = rng() % 2 ? kNaN : kInf;
  return limits;
}

// The fit of either class set on both: the same status and the same bits.
void ExpectSameFit(std::mt19937_64& rng, CMensora& object, mensora_sample* handle) {
  const auto stdSet = static_cast<std::int32_t>(rng() % 2);
  double f[5] = {};
  mensora_fit c{};
  const std::int32_t member = object.DataSecFitNum(stdSet, &f[0], &f[1], &f[2], &f[3], &f[4]);
  ASSERT_EQ(member == 1 ? MENSORA_OK : MENSORA_ERROR_NO_RESULT,
            mensora_class_fit(handle, stdSet, &c));
  const double cf[] = {c.sdam, c.sdcm, c.gvf, c.adcm, c.tai};
  if (member == 1) EXPECT_EQ(BitsOf(f, 5), BitsOf(cf, 5));
}

// One random call on both, with the same arguments.
void RandomCall(std::mt19937_64& rng, CMensora& object, mensora_sample* handle,
                std::vector<double>& data) {
  const auto n = static_cast<std::int32_t>(data.size());
  const auto k = static_cast<std::int32_t>(1 + rng() % 9);
  const double a = RandomValue(rng, 20), b = RandomValue(rng, 20);
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  mensora_classes c{};
  std::int32_t member = 0;
  int status = 0;
  switch (rng() % 25) {
    case 0: EXPECT_EQ(Bits(object.SimpleArithAverNum()), Bits(mensora_mean(handle))); break;
    case 1: EXPECT_EQ(Bits(object.PowerArithAverNum(0)), Bits(mensora_frequency_mean(handle))); break;
    case 2: EXPECT_EQ(Bits(object.GeometryAverNum()), Bits(mensora_geometric_mean(handle))); break;
    case 3: EXPECT_EQ(Bits(object.NumerousNum()), Bits(mensora_mode(handle))); break;
    case 4: EXPECT_EQ(Bits(object.MedianNum()), Bits(mensora_median(handle))); break;
    case 5: {
      EXPECT_EQ(Bits(object.ExtreDifNum()), Bits(mensora_range(handle)));
      double max = 0, min = 0, cmax = 0, cmin = 0;
      object.ExtremumNum(&max, &min);
      ASSERT_EQ(MENSORA_OK, mensora_extremes(handle, &cmin, &cmax));
      EXPECT_EQ(Bits(max), Bits(cmax));
      EXPECT_EQ(Bits(min), Bits(cmin));
      break;
    }
    case 6: {
      const auto step = static_cast<std::int32_t>(1 + rng() % static_cast<unsigned>(n));
      double* values = nullptr;
      std::int32_t count = 0;
      const double* cvalues = nullptr;
      std::int32_t ccount = 0;
      object.SubSectionNum(&values, step, &count);
      ASSERT_EQ(MENSORA_OK, mensora_every_nth(handle, step, &cvalues, &ccount));
      ASSERT_EQ(count, ccount);
      EXPECT_EQ(BitsOf(values, count), BitsOf(cvalues, ccount));
      break;
    }
    case 7: {
      std::vector<double> dev(data.size()), cdev(data.size());
      object.DisDifNum(dev.data());
      ASSERT_EQ(MENSORA_OK, mensora_deviations(handle, cdev.data(), n));
      EXPECT_EQ(BitsOf(dev.data(), n), BitsOf(cdev.data(), n));
      break;
    }
    case 8: {
      const double measures[] = {object.DisDifAverNum(), object.DisDifSqrSum(), object.SqrDifNum(),
                                 object.SqraverDifNum(), object.StandDifNum(), object.AlterDifCoe(),
                                 object.DeflectDegree(), object.ApexDegree()};
      const double cmeasures[] = {
          mensora_mean_abs_deviation(handle), mensora_sum_of_squares(handle),
          mensora_variance(handle), mensora_root_variance(handle), mensora_std_deviation(handle),
          mensora_variation_coefficient(handle), mensora_skewness(handle), mensora_kurtosis(handle)};
      EXPECT_EQ(BitsOf(measures, 8), BitsOf(cmeasures, 8));
      break;
    }
    case 9: {
      std::int32_t* area = nullptr;
      std::int32_t count = 0;
      const std::int32_t* carea = nullptr;
      std::int32_t ccount = -1;
      member = object.DataStatByArea(a, b, &area, &count);
      ASSERT_EQ(MENSORA_OK, mensora_select(handle, a, b, &carea, &ccount));
      if (member == 1) {
        EXPECT_EQ(Copy(area, count), Copy(carea, ccount));
      } else {
        EXPECT_EQ(0, ccount);
        EXPECT_EQ(nullptr, carea);
      }
      break;
    }
    case 10:
      member = object.DataSecByMaxMin(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_equal(handle, k, &c);
      break;
    case 11: {
      const double step = static_cast<double>(rng() % 7) - 1.0 + 0.5;
      const double end = rng() % 2 ? AUTO_MAX : b;
      member = object.DataStatByStartAndStep(a, step, &breaks, &breakNum, &ids, &counts, end);
      status = mensora_classify_step(handle, a, step, end, &c);
      if (member != 1) EXPECT_TRUE(status == MENSORA_ERROR_ARGUMENT || status == MENSORA_ERROR_DATA);
      break;
    }
    case 12: {
      const double end = rng() % 2 ? AUTO_MAX : b;
      member = object.DataStatByStartAndGroupNum(a, k, &breaks, &breakNum, &ids, &counts, end);
      status = mensora_classify_count(handle, a, k, end, &c);
      break;
    }
    case 13:
      member = object.DataSecByQuantile(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_quantile(handle, k, &c);
      break;
    case 14:
      member = object.DataSecByNaturalBreaks(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_natural(handle, k, &c);
      break;
    case 15: {
      const std::vector<double> given = RandomLimits(rng, false);
      const auto count = static_cast<std::int32_t>(given.size());
      member = object.DataSecByBreaks(given.data(), count, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_breaks(handle, given.data(), count, &c);
      break;
    }
    case 16:
      member = object.DataSecByPretty(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_pretty(handle, k, &c);
      break;
    case 17: {
      const double shares[] = {0.0, 0.2, 0.4, 0.5, 0.9, 1.0, kNaN};
      const double share = shares[rng() % 7];
      member = object.DataSecByHeadTail(share, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_head_tail(handle, share, &c);
      break;
    }
    case 18: {
      const double hinges[] = {0.0, 1.5, 3.0, -1.0, kInf, kNaN};
      const double hinge = hinges[rng() % 6];
      member = object.DataSecByBoxPlot(hinge, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_box_plot(handle, hinge, &c);
      break;
    }
    case 19:
      member = object.DataSecByMaxBreaks(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_max_breaks(handle, k, &c);
      break;
    case 20: {
      const std::vector<double> percents = RandomLimits(rng, true);
      const auto count = static_cast<std::int32_t>(percents.size());
      member = object.DataSecByPercentile(percents.data(), count, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_percentile(handle, percents.data(), count, &c);
      break;
    }
    case 21:
      member = object.DataSecByGeometric(k, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_geometric(handle, k, &c);
      if (member != 1) EXPECT_EQ(MENSORA_ERROR_DATA, status);
      break;
    case 22: {
      const double gvfs[] = {0.0, 0.5, 0.8, 0.95, 1.0, 1.1, kNaN};
      const double gvf = gvfs[rng() % 7];
      member = object.DataSecByNaturalBreaksAuto(k, gvf, &breaks, &breakNum, &ids, &counts);
      status = mensora_classify_natural_auto(handle, k, gvf, &c);
      break;
    }
    case 23:
      ExpectSameFit(rng, object, handle);
      break;
    default: {
      const auto steps = static_cast<std::int32_t>(rng() % 3);
      const double times = static_cast<double>(rng() % 4) * 0.5;
      const double low = std::min(a, b), high = rng() % 2 ? AUTO_MAX : b;
      if (rng() % 2) {
        member = object.DataSecByAverStd(steps, times, &breaks, &breakNum, &ids, &counts);
        status = mensora_classify_stddev(handle, steps, times, &c);
      } else {
        member = object.DataSecByAverStdAndMinMax(steps, times, &breaks, &breakNum, &ids, &counts,
                                                  low, high);
        status = mensora_classify_stddev_window(handle, steps, times, low, high, &c);
      }
      break;
    }
  }
  if (breaks != nullptr || status != 0) {
    ExpectSameClasses(status, c, member, breaks, breakNum, ids, counts);
  }
}

TEST(CInterface, SameBitsAsTheClassOverRandomCallSequences) {
  std::mt19937_64 rng(20240601);
  for (int t = 0; t < 2000; ++t) {
    const auto n = static_cast<std::int32_t>(1 + rng() % (t % 10 == 0 ? 400 : 40));
    const int distinct = static_cast<int>(1 + rng() % 30);
    std::vector<double> data(static_cast<std::size_t>(n));
    for (double& v : data) v = RandomValue(rng, distinct);
    CMensora object(data.data(), n);
    mensora_sample* handle = mensora_sample_new(data.data(), n);
    ASSERT_NE(nullptr, handle);
    // The sorted view, by either sort, before any call: a call the C
    // interface refuses for its arguments builds nothing, while the member
    // may have built the view before refusing.
    if (rng() % 2 == 0) {
      EXPECT_EQ(Bits(object.MedianNum()), Bits(mensora_median(handle)));
    } else {
      double* values = nullptr;
      std::int32_t count = 0;
      const double* cvalues = nullptr;
      object.SubSectionNum(&values, 1, &count);
      ASSERT_EQ(MENSORA_OK, mensora_every_nth(handle, 1, &cvalues, &count));
      EXPECT_EQ(BitsOf(values, n), BitsOf(cvalues, n));
    }
    for (int call = 0; call < 12; ++call) {
      RandomCall(rng, object, handle, data);
      if (HasFatalFailure()) break;
    }
    mensora_sample_free(handle);
    if (HasFatalFailure() || HasFailure()) FAIL() << "sample " << t;
  }
}

using ClassMethod = int (*)(mensora_sample*, int32_t, mensora_classes*);
using WeightedMethod = int (*)(const double*, const double*, int32_t, int32_t, double*);

// Breaks of the weighted function over (value, weight) pairs, or an empty
// vector when it fails.
std::vector<std::uint64_t> Weighted(WeightedMethod method, const std::vector<double>& values,
                                    const std::vector<double>& weights, std::int32_t k) {
  std::vector<double> breaks(static_cast<std::size_t>(k) + 1);
  if (method(values.data(), weights.data(), static_cast<std::int32_t>(values.size()), k,
             breaks.data()) != MENSORA_OK) {
    return {};
  }
  return BitsOf(breaks.data(), k + 1);
}

// Random (value, count) pairs, a value possibly split over several pairs; the
// sample in which each value is repeated count times, shuffled.
void RandomPairs(std::mt19937_64& rng, std::int32_t pairs, std::vector<double>& values,
                 std::vector<double>& counts, std::vector<double>& expanded) {
  const int distinct = static_cast<int>(1 + rng() % 40);
  values.clear();
  counts.clear();
  expanded.clear();
  for (std::int32_t i = 0; i < pairs; ++i) {
    const double v = RandomValue(rng, distinct);
    const auto c = static_cast<int>(rng() % 6);
    values.push_back(v);
    counts.push_back(c);
    expanded.insert(expanded.end(), static_cast<std::size_t>(c), v);
  }
  std::shuffle(expanded.begin(), expanded.end(), rng);
}

void ExpectWeightedEqualsExpanded(WeightedMethod weighted, ClassMethod method, std::int32_t pairs,
                                  int samples, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<double> values, counts, expanded;
  for (int t = 0; t < samples; ++t) {
    RandomPairs(rng, pairs == 0 ? static_cast<std::int32_t>(1 + rng() % 60) : pairs, values,
                counts, expanded);
    if (expanded.empty()) continue;
    const auto k = static_cast<std::int32_t>(1 + rng() % 12);
    mensora_sample* handle =
        mensora_sample_new(expanded.data(), static_cast<std::int32_t>(expanded.size()));
    mensora_classes c{};
    ASSERT_EQ(MENSORA_OK, method(handle, k, &c));
    ASSERT_EQ(BitsOf(c.breaks, k + 1), Weighted(weighted, values, counts, k)) << "sample " << t;
    mensora_sample_free(handle);
  }
}

TEST(CInterface, WeightedNaturalBreaksEqualTheClassOverTheExpandedSample) {
  ExpectWeightedEqualsExpanded(mensora_natural_breaks_weighted, mensora_classify_natural, 0, 1500, 1);
  // Enough distinct values for the layers to be shared among threads.
  ExpectWeightedEqualsExpanded(mensora_natural_breaks_weighted, mensora_classify_natural, 120000, 1, 2);
}

TEST(CInterface, WeightedQuantileBreaksEqualTheClassOverTheExpandedSample) {
  ExpectWeightedEqualsExpanded(mensora_quantile_breaks_weighted, mensora_classify_quantile, 0, 1500, 3);
}

// Counts whose total is far beyond 32 bits: break s is the value at position
// floor(s * m / k) of the sorted expansion.
TEST(CInterface, WeightedQuantileBreaksOfCountsBeyond32Bits) {
  std::mt19937_64 rng(5);
  for (int t = 0; t < 300; ++t) {
    std::vector<double> values, counts;
    std::vector<std::pair<double, std::uint64_t>> sorted;
    std::uint64_t m = 0;
    for (int i = 0; i < 1 + static_cast<int>(rng() % 40); ++i) {
      const double v = static_cast<double>(rng() % 50);
      const std::uint64_t c = rng() >> (30 + rng() % 34);
      values.push_back(v);
      counts.push_back(static_cast<double>(c));
      sorted.emplace_back(v, c);
      m += c;
    }
    if (m == 0) continue;
    std::sort(sorted.begin(), sorted.end());
    const auto k = static_cast<std::int32_t>(1 + rng() % 1000);
    std::vector<double> expected;
    for (std::int32_t s = 0; s < k; ++s) {
      // m < 2^40 and k < 2^10: the product fits in 64 bits.
      const std::uint64_t position = static_cast<std::uint64_t>(s) * m / static_cast<std::uint64_t>(k);
      std::uint64_t below = 0;
      std::size_t i = 0;
      while (below + sorted[i].second <= position) below += sorted[i++].second;
      expected.push_back(sorted[i].first);
    }
    while (sorted.back().second == 0) sorted.pop_back();
    expected.push_back(sorted.back().first);
    ASSERT_EQ(BitsOf(expected.data(), k + 1), Weighted(mensora_quantile_breaks_weighted, values, counts, k))
        << "sample " << t;
  }
}

// Scaling every weight by one power of two changes no break: tiny, huge (the
// natural breaks then rescale) and fractional weights give the breaks of the
// whole counts.
TEST(CInterface, WeightedBreaksIgnoreAPowerOfTwoScaleOfTheWeights) {
  std::mt19937_64 rng(4);
  std::vector<double> values, counts, expanded;
  for (int t = 0; t < 300; ++t) {
    RandomPairs(rng, static_cast<std::int32_t>(1 + rng() % 50), values, counts, expanded);
    if (expanded.empty()) continue;
    const auto k = static_cast<std::int32_t>(1 + rng() % 10);
    for (const WeightedMethod method : {mensora_natural_breaks_weighted, mensora_quantile_breaks_weighted}) {
      const auto reference = Weighted(method, values, counts, k);
      for (const int exponent : {-1060, -600, -3, 40, 700, 960}) {
        std::vector<double> scaled(counts);
        for (double& w : scaled) w = std::ldexp(w, exponent);
        EXPECT_EQ(reference, Weighted(method, values, scaled, k)) << "sample " << t << " 2^" << exponent;
      }
    }
  }
}

// Weights far apart: the natural breaks stay values of the data, ascending,
// with the one heavy value's breaks as if the light ones were absent.
TEST(CInterface, WeightedNaturalBreaksWithWeightsOfEveryMagnitude) {
  std::vector<double> values, weights;
  for (int i = 0; i < 200; ++i) {
    values.push_back(i);
    weights.push_back(i % 50 == 0 ? 1e300 : std::ldexp(1.0, -(i % 1074)));
  }
  const auto breaks = Weighted(mensora_natural_breaks_weighted, values, weights, 6);
  ASSERT_EQ(7u, breaks.size());
  double last = -kInf;
  for (std::uint64_t bits : breaks) {
    double b = 0;
    std::memcpy(&b, &bits, sizeof b);
    EXPECT_GE(b, last);
    EXPECT_EQ(b, std::floor(b));
    last = b;
  }
  // Only the heavy values 0, 50, 100, 150 count: four classes and their
  // repeated last break.
  const std::vector<double> heavy{0, 50, 100, 150, 150, 150, 150};
  EXPECT_EQ(BitsOf(heavy.data(), 7), breaks);
}

}  // namespace
