// Speed of the sorted view, the mode, the class methods and the window
// selection, against std::sort of the same (value, position) pairs by value
// in the same run. Names: <task>/<shape>/<n>. The literal model
// (tests/reference) is measured up to n = 10,000, or up to
// MENSORA_BENCH_LITERAL_N when set.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Mensora.h"
#include "literal.h"

namespace {

// The nan shapes are random values with one NaN, 100 NaN or n/100 NaN at
// random positions, or n/100 NaN in one run: missing values in real data.
const char* const kShapes[] = {"random",   "few10", "sorted", "reverse", "equal", "organ",
                               "swapped1", "nan1",  "nan100", "nanpct",  "nanrun"};

std::vector<double> MakeShape(const std::string& shape, std::int32_t n) {
  std::mt19937_64 rng(12345);
  std::vector<double> v(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    double x = i;
    if (shape == "random" || shape.compare(0, 3, "nan") == 0) {
      x = std::uniform_real_distribution<double>(0.0, 1e6)(rng);
    }
    if (shape == "few10") x = static_cast<double>(rng() % 10);
    if (shape == "reverse") x = n - i;
    if (shape == "equal") x = 42.0;
    if (shape == "organ") x = std::min(i, n - 1 - i);
    v[static_cast<std::size_t>(i)] = x;
  }
  if (shape == "swapped1") {
    for (std::int32_t s = 0; s < n / 200; ++s) std::swap(v[rng() % v.size()], v[rng() % v.size()]);
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::int32_t nans = shape == "nan1" ? 1 : shape == "nan100" ? 100 : n / 100;
  if (shape == "nan1" || shape == "nan100" || shape == "nanpct") {
    for (std::int32_t s = 0; s < nans; ++s) v[rng() % v.size()] = nan;
  }
  if (shape == "nanrun") {
    const auto start = static_cast<std::size_t>(rng() % static_cast<std::uint64_t>(n - nans + 1));
    std::fill_n(v.begin() + static_cast<std::ptrdiff_t>(start), nans, nan);
  }
  return v;
}

// The pairs are made from the sample in every run, as the view is, and
// ordered by value alone (the order of equal values left to std::sort), NaN
// after every other value.
void Baseline(benchmark::State& state, std::vector<double> data) {
  using Pair = std::pair<double, std::int32_t>;
  for (auto _ : state) {
    std::vector<Pair> pairs(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) pairs[i] = {data[i], static_cast<std::int32_t>(i)};
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
      return a.first < b.first || (std::isnan(b.first) && !std::isnan(a.first));
    });
    benchmark::DoNotOptimize(pairs.data());
  }
}

template <class Object>
void FirstMedian(benchmark::State& state, std::vector<double> data) {
  for (auto _ : state) {
    Object m(data.data(), static_cast<std::int32_t>(data.size()));
    benchmark::DoNotOptimize(m.MedianNum());
  }
}

template <class Object>
void FirstSubSection(benchmark::State& state, std::vector<double> data) {
  const auto n = static_cast<std::int32_t>(data.size());
  for (auto _ : state) {
    Object m(data.data(), n);
    double* values = nullptr;
    std::int32_t count = 0;
    m.SubSectionNum(&values, std::max(1, n / 10), &count);
    benchmark::DoNotOptimize(values);
  }
}

template <class Object>
void Mode(benchmark::State& state, std::vector<double> data) {
  for (auto _ : state) {
    Object m(data.data(), static_cast<std::int32_t>(data.size()));
    benchmark::DoNotOptimize(m.NumerousNum());
  }
}

void Classes(benchmark::State& state, std::vector<double> data, std::int32_t k) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  m.MedianNum();
  for (auto _ : state) {
    double* breaks = nullptr;
    std::int32_t breakNum = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    benchmark::DoNotOptimize(m.DataSecByMaxMin(k, &breaks, &breakNum, &ids, &counts));
  }
}

void Window(benchmark::State& state, std::vector<double> data) {
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  double max = 0.0;
  double min = 0.0;
  m.ExtremumNum(&max, &min);
  const double quarter = (max - min) / 4.0;
  for (auto _ : state) {
    std::int32_t* ids = nullptr;
    std::int32_t count = 0;
    benchmark::DoNotOptimize(m.DataStatByArea(min + quarter, max - quarter, &ids, &count));
  }
}

void Register() {
  std::vector<std::int32_t> literalSizes = {1000, 10000};
  if (const char* env = std::getenv("MENSORA_BENCH_LITERAL_N")) {
    literalSizes.push_back(static_cast<std::int32_t>(std::atol(env)));
  }
  for (std::int32_t n : {1000, 10000, 100000, 1000000}) {
    for (const char* shape : kShapes) {
      const std::string tail = std::string("/") + shape + "/" + std::to_string(n);
      const auto data = MakeShape(shape, n);
      const auto ms = benchmark::kMillisecond;
      benchmark::RegisterBenchmark(("baseline" + tail).c_str(), Baseline, data)->Unit(ms);
      benchmark::RegisterBenchmark(("median" + tail).c_str(), FirstMedian<CMensora>, data)->Unit(ms);
      benchmark::RegisterBenchmark(("subsection" + tail).c_str(), FirstSubSection<CMensora>, data)->Unit(ms);
      benchmark::RegisterBenchmark(("mode" + tail).c_str(), Mode<CMensora>, data)->Unit(ms);
      for (std::int32_t k : {5, 100, 10000}) {
        benchmark::RegisterBenchmark(("classes" + std::to_string(k) + tail).c_str(), Classes, data, k)->Unit(ms);
      }
      benchmark::RegisterBenchmark(("window" + tail).c_str(), Window, data)->Unit(ms);
    }
  }
  for (std::int32_t n : literalSizes) {
    for (const char* shape : kShapes) {
      const std::string tail = std::string("/") + shape + "/" + std::to_string(n);
      const auto data = MakeShape(shape, n);
      const auto ms = benchmark::kMillisecond;
      auto* a = benchmark::RegisterBenchmark(("literal_median" + tail).c_str(), FirstMedian<mensora_ref::LiteralMensora>, data)->Unit(ms);
      auto* b = benchmark::RegisterBenchmark(("literal_subsection" + tail).c_str(), FirstSubSection<mensora_ref::LiteralMensora>, data)->Unit(ms);
      auto* c = benchmark::RegisterBenchmark(("literal_mode" + tail).c_str(), Mode<mensora_ref::LiteralMensora>, data)->Unit(ms);
      if (n > 10000) {
        a->Iterations(1);
        b->Iterations(1);
        c->Iterations(1);
      }
    }
  }
}

const int kRegistered = (Register(), 0);

}  // namespace
