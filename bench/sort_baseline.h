// The samples of 10^6 values that the class benchmarks use, and the std::sort
// baseline that their "x_sort" counters divide by.
#ifndef MENSORA_BENCH_SORT_BASELINE_H
#define MENSORA_BENCH_SORT_BASELINE_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace mensora_bench {

constexpr std::int32_t kSize = 1000000;

// uniform: distinct values; lognormal: a heavy right tail; rounded: the
// lognormal values rounded to whole numbers, a few thousand distinct values
// with many ties. The seed keeps each benchmark's data apart from the others'.
inline std::vector<double> Shape(const std::string& shape, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<double> data(kSize);
  std::uniform_real_distribution<double> uniform(1.0, 1e6);
  std::lognormal_distribution<double> lognormal(6.0, 1.2);
  for (double& v : data) {
    v = shape == "uniform" ? uniform(rng) : lognormal(rng);
    if (shape == "rounded") v = std::round(v);
  }
  return data;
}

// The median time of five sorts of a copy, in seconds.
inline double SortSeconds(const std::vector<double>& data) {
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    std::vector<double> copy = data;
    const auto start = std::chrono::steady_clock::now();
    std::sort(copy.begin(), copy.end());
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    benchmark::DoNotOptimize(copy.data());
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

}  // namespace mensora_bench

#endif  // MENSORA_BENCH_SORT_BASELINE_H
