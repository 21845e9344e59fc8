// Separate objects used from several threads at once: each thread builds its
// own objects (some over one shared, read-only caller array) and runs every
// member; every thread must see the results a single thread sees. Run under
// ThreadSanitizer by scripts/check-tsan.sh.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "Mensora.h"
#include "support/thread_setting.h"

namespace {

// Every result of every public member over one fresh object, as bit patterns.
std::vector<std::uint64_t> Digest(double* data, std::int32_t n) {
  std::vector<std::uint64_t> out;
  auto put = [&out](double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    out.push_back(bits);
  };
  auto putIds = [&out](const std::int32_t* p, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) out.push_back(static_cast<std::uint32_t>(p[i]));
  };
  auto putClasses = [&](std::int32_t status, const double* breaks, std::int32_t breakNum,
                        const std::int32_t* ids, const std::int32_t* counts) {
    out.push_back(static_cast<std::uint32_t>(status));
    if (status != 1) return;
    std::int64_t total = 0;
    for (std::int32_t s = 0; s + 1 < breakNum; ++s) total += counts[s];
    for (std::int32_t s = 0; s < breakNum; ++s) put(breaks[s]);
    putIds(counts, breakNum - 1);
    putIds(ids, total);
  };

  CMensora m(data, n);
  put(m.SimpleArithAverNum());
  put(m.PowerArithAverNum(0));
  put(m.GeometryAverNum());
  put(m.NumerousNum());
  put(m.MedianNum());
  double max = 0.0;
  double min = 0.0;
  m.ExtremumNum(&max, &min);
  put(max);
  put(min);
  put(m.ExtreDifNum());
  put(m.DisDifAverNum());
  put(m.DisDifSqrSum());
  put(m.SqrDifNum());
  put(m.SqraverDifNum());
  put(m.StandDifNum());
  put(m.AlterDifCoe());
  put(m.DeflectDegree());
  put(m.ApexDegree());

  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  std::int32_t status = m.DataSecByMaxMin(7, &breaks, &breakNum, &ids, &counts);
  putClasses(status, breaks, breakNum, ids, counts);
  status = m.DataStatByStartAndStep(min, 0.5, &breaks, &breakNum, &ids, &counts, AUTO_MAX);
  putClasses(status, breaks, breakNum, ids, counts);
  status = m.DataStatByStartAndGroupNum(min, 4, &breaks, &breakNum, &ids, &counts, AUTO_MAX);
  putClasses(status, breaks, breakNum, ids, counts);
  status = m.DataSecByAverStd(2, 0.5, &breaks, &breakNum, &ids, &counts);
  putClasses(status, breaks, breakNum, ids, counts);
  status = m.DataSecByAverStdAndMinMax(1, 1.0, &breaks, &breakNum, &ids, &counts, AUTO_MIN, 3.0);
  putClasses(status, breaks, breakNum, ids, counts);

  std::int32_t* areaIds = nullptr;
  std::int32_t areaNum = 0;
  status = m.DataStatByArea(-1.0, 2.0, &areaIds, &areaNum);
  out.push_back(static_cast<std::uint32_t>(status));
  if (status == 1) putIds(areaIds, areaNum);

  // A second object takes over the first one's view and caches.
  double other[] = {1.0};
  CMensora copy(other, 1);
  copy = m;
  double* every = nullptr;
  std::int32_t everyNum = 0;
  copy.SubSectionNum(&every, 3, &everyNum);
  out.push_back(static_cast<std::uint32_t>(everyNum));
  for (std::int32_t i = 0; i < everyNum; ++i) put(every[i]);
  put(copy.MedianNum());
  return out;
}

std::vector<std::vector<double>> Samples() {
  std::mt19937 gen(20261207);
  std::normal_distribution<double> normal(1.0, 2.0);
  std::uniform_int_distribution<int> few(-3, 3);
  std::vector<std::vector<double>> samples;
  for (int shape = 0; shape < 6; ++shape) {
    std::vector<double> v(300 + 50 * shape);
    for (std::size_t i = 0; i < v.size(); ++i) {
      switch (shape) {
        case 0: v[i] = normal(gen); break;
        case 1: v[i] = few(gen); break;
        case 2: v[i] = static_cast<double>(i) / 16.0; break;
        case 3: v[i] = -static_cast<double>(i) / 8.0; break;
        case 4: v[i] = i % 7 == 0 ? -0.0 : normal(gen); break;
        default: v[i] = i % 11 == 0 ? std::numeric_limits<double>::quiet_NaN() : few(gen); break;
      }
    }
    samples.push_back(v);
  }
  return samples;
}

}  // namespace

TEST(Threads, SeparateObjectsGiveSingleThreadResults) {
  std::vector<std::vector<double>> samples = Samples();
  std::vector<std::vector<std::uint64_t>> expected;
  for (auto& s : samples) {
    expected.push_back(Digest(s.data(), static_cast<std::int32_t>(s.size())));
  }

  constexpr int kThreads = 4;
  constexpr int kRounds = 3;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      // Each thread also owns a private copy of one sample.
      std::vector<double> own = samples[static_cast<std::size_t>(t) % samples.size()];
      for (int r = 0; r < kRounds; ++r) {
        for (std::size_t i = 0; i < samples.size(); ++i) {
          const std::size_t k = (i + static_cast<std::size_t>(t)) % samples.size();
          if (Digest(samples[k].data(), static_cast<std::int32_t>(samples[k].size())) !=
              expected[k]) {
            ++mismatches[static_cast<std::size_t>(t)];
          }
        }
        if (Digest(own.data(), static_cast<std::int32_t>(own.size())) !=
            expected[static_cast<std::size_t>(t) % samples.size()]) {
          ++mismatches[static_cast<std::size_t>(t)];
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(0, mismatches[static_cast<std::size_t>(t)]) << t;
}

// Natural breaks over many distinct values share each layer among threads of
// their own. Objects doing so from several threads at once still give the
// classes of one thread.
TEST(Threads, NaturalBreaksFromSeveralThreadsAtOnce) {
  std::mt19937 gen(5);
  std::lognormal_distribution<double> skewed(6.0, 1.2);
  std::vector<double> data(40000);
  for (double& v : data) v = skewed(gen);
  const auto classes = [&data] {
    CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
    double* breaks = nullptr;
    std::int32_t breakNum = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    std::vector<double> out;
    if (m.DataSecByNaturalBreaks(6, &breaks, &breakNum, &ids, &counts) != 1) return out;
    out.assign(breaks, breaks + breakNum);
    out.insert(out.end(), counts, counts + breakNum - 1);
    for (std::size_t i = 0; i < data.size(); ++i) out.push_back(ids[i]);
    return out;
  };
  SetMensoraThreads("1");
  const std::vector<double> expected = classes();
  ASSERT_FALSE(expected.empty());
  SetMensoraThreads("4");
  std::vector<std::vector<double>> got(2);
  std::vector<std::thread> callers;
  for (std::size_t t = 0; t < got.size(); ++t) callers.emplace_back([&, t] { got[t] = classes(); });
  for (std::thread& caller : callers) caller.join();
  SetMensoraThreads(nullptr);
  for (const std::vector<double>& g : got) EXPECT_EQ(expected, g);
}
