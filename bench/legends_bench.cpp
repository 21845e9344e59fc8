// Round breaks and labels of a class result of 10^6 values, against std::sort
// of the same values in the same run: the counter "x_sort" is the time of the
// first round-and-label of a new result (mensora_round_breaks, then
// mensora_class_labels_text on the handle, whose sorted view exists) over the
// time of one std::sort of a copy of the values. Names: Legends/<method>/<shape>.
// Labels/natural/<n>/<k>: one mensora_class_labels_text of k natural-breaks
// classes over n lognormal values, its counter "x_print" over the time of
// printing the k + 1 breaks once each with "%.17g".
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "mensora_c.h"
#include "sort_baseline.h"

namespace {

using mensora_bench::kSize;
using mensora_bench::SortSeconds;

constexpr std::uint64_t kSeed = 22;

using Classify = std::function<int(mensora_sample*, mensora_classes*)>;

// Each iteration classifies a new handle (not timed: it sorts the values),
// then times the first rounding and labelling of its result.
void RoundAndLabel(benchmark::State& state, const std::string& shape, const Classify& classify,
                   std::int32_t stdSet) {
  const std::vector<double> data = mensora_bench::Shape(shape, kSeed);
  const double sortSeconds = SortSeconds(data);
  char text[4096];
  std::int32_t needed = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    mensora_sample* sample = mensora_sample_new(data.data(), kSize);
    mensora_classes out{};
    if (sample == nullptr || classify(sample, &out) != MENSORA_OK) {
      state.SkipWithError("the class method failed");
      mensora_sample_free(sample);
      break;
    }
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const bool done =
        mensora_round_breaks(sample, stdSet, &out) == MENSORA_OK &&
        mensora_class_labels_text(sample, stdSet, 0, text, sizeof text, &needed) == MENSORA_OK;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(text);
    state.PauseTiming();
    mensora_sample_free(sample);
    state.ResumeTiming();
    if (!done) {
      state.SkipWithError("rounding or labelling failed");
      break;
    }
  }
  state.counters["sort_ms"] = sortSeconds * 1e3;
  state.counters["x_sort"] = seconds / static_cast<double>(state.iterations()) / sortSeconds;
}

// The median time of printing the breaks once each, in seconds.
double PrintSeconds(const double* breaks, std::int32_t count) {
  constexpr int kRounds = 1000;
  std::vector<double> times;
  char text[32];
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
      for (std::int32_t i = 0; i < count; ++i) {
        (void)std::snprintf(text, sizeof text, "%.17g", breaks[i]);
        benchmark::DoNotOptimize(text);
      }
    }
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                    kRounds);
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

void NaturalLabels(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const auto k = static_cast<std::int32_t>(state.range(1));
  std::mt19937_64 rng(kSeed);
  std::lognormal_distribution<double> lognormal(0.0, 1.0);
  std::vector<double> data(static_cast<std::size_t>(n));
  for (double& v : data) v = lognormal(rng);
  mensora_sample* sample = mensora_sample_new(data.data(), n);
  mensora_classes out{};
  if (sample == nullptr || mensora_classify_natural(sample, k, &out) != MENSORA_OK) {
    state.SkipWithError("the natural breaks failed");
    mensora_sample_free(sample);
    return;
  }
  const double printSeconds = PrintSeconds(out.breaks, k + 1);
  char text[4096];
  std::int32_t needed = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    mensora_class_labels_text(sample, 0, 0, text, sizeof text, &needed);
    benchmark::DoNotOptimize(text);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["x_print"] = seconds / static_cast<double>(state.iterations()) / printSeconds;
  mensora_sample_free(sample);
}

void Register() {
  benchmark::RegisterBenchmark("Labels/natural", NaturalLabels)
      ->Args({10, 5})
      ->Args({10, 7})
      ->Args({1000, 5})
      ->Args({1000, 7})
      ->Args({1000, 20})
      ->Unit(benchmark::kMicrosecond);
  const std::vector<std::tuple<std::string, Classify, std::int32_t>> methods{
      {"equal", [](mensora_sample* s, mensora_classes* o) { return mensora_classify_equal(s, 7, o); }, 0},
      {"quantile", [](mensora_sample* s, mensora_classes* o) { return mensora_classify_quantile(s, 7, o); }, 0},
      {"stddev", [](mensora_sample* s, mensora_classes* o) { return mensora_classify_stddev(s, 2, 0.5, o); }, 1},
  };
  for (const auto& [name, classify, stdSet] : methods) {
    for (const char* shape : {"uniform", "lognormal", "rounded"}) {
      benchmark::RegisterBenchmark(("Legends/" + name + "/" + shape).c_str(),
                                   [=](benchmark::State& state) {
                                     RoundAndLabel(state, shape, classify, stdSet);
                                   })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(5);  // each iteration also sorts, untimed
    }
  }
}

const int kRegistered = (Register(), 0);

}  // namespace
