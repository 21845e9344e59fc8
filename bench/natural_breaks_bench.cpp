// Natural breaks: the library's member on 10^6 values (with its threads and
// on one thread), and, in the same run, the member against a straightforward
// O(k n^2) dynamic programme; whole calls after other work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "Mensora.h"
#include "parcel_areas.h"

namespace {

using mensora_bench::ParcelAreas;

// The same areas in whole square metres: a few thousand distinct values.
std::vector<double> RoundedAreas(std::int64_t n) {
  std::vector<double> data = ParcelAreas(n);
  for (double& v : data) v = std::round(v);
  return data;
}

// The class count of the classic programme over the n sorted values, with
// plain prefix sums: k * n^2 / 2 cost evaluations. Returns the least cost.
double QuadraticNaturalBreaks(std::vector<double> values, int k) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  std::vector<double> ps(n + 1, 0.0), pq(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    ps[i + 1] = ps[i] + values[i];
    pq[i + 1] = pq[i] + values[i] * values[i];
  }
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> row(n + 1, inf), next(n + 1, inf);
  for (std::size_t j = 1; j <= n; ++j) {
    const double s = ps[j];
    row[j] = pq[j] - s * s / static_cast<double>(j);
  }
  for (int c = 2; c <= k; ++c) {
    for (std::size_t j = 1; j <= n; ++j) {
      double best = inf;
      for (std::size_t i = 1; i < j; ++i) {
        const double s = ps[j] - ps[i];
        const double cost = row[i] + (pq[j] - pq[i]) - s * s / static_cast<double>(j - i);
        if (cost < best) best = cost;
      }
      next[j] = best;
    }
    row.swap(next);
  }
  return row[n];
}

void RunMember(benchmark::State& state, std::vector<double> data, std::int32_t k) {
  const auto n = static_cast<std::int64_t>(data.size());
  CMensora m(data.data(), static_cast<std::int32_t>(n));
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  m.ExtremumNum(nullptr, nullptr);  // the sorted view, built once per object
  for (auto _ : state) {
    if (m.DataSecByNaturalBreaks(k, &breaks, &breakNum, &ids, &counts) != 1) {
      state.SkipWithError("DataSecByNaturalBreaks failed");
      break;
    }
    benchmark::DoNotOptimize(breaks);
  }
}

// Large sample, k = 5, 10, 20, with the threads the library chooses.
void BM_NaturalBreaksMillion(benchmark::State& state) {
  RunMember(state, ParcelAreas(1000000), static_cast<std::int32_t>(state.range(0)));
}
BENCHMARK(BM_NaturalBreaksMillion)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

// The same on the calling thread only.
void BM_NaturalBreaksMillionOneThread(benchmark::State& state) {
  setenv("MENSORA_THREADS", "1", 1);
  RunMember(state, ParcelAreas(1000000), static_cast<std::int32_t>(state.range(0)));
  unsetenv("MENSORA_THREADS");
}
BENCHMARK(BM_NaturalBreaksMillionOneThread)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond);

void BM_NaturalBreaksMillionRounded(benchmark::State& state) {
  RunMember(state, RoundedAreas(1000000), static_cast<std::int32_t>(state.range(0)));
}
BENCHMARK(BM_NaturalBreaksMillionRounded)->Arg(20)->Unit(benchmark::kMillisecond);

// The best class count up to 10 for three GVF thresholds (reached at 4
// classes, at 10, and not at all), each call paired with a natural-breaks
// call for 10 classes on the same object just before it: the counter
// x_natural is the median ratio of the two times over the pairs, which
// shared the load of the machine.
void BM_NaturalBreaksAutoMillion(benchmark::State& state) {
  std::vector<double> data = ParcelAreas(1000000);
  CMensora m(data.data(), static_cast<std::int32_t>(data.size()));
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  m.ExtremumNum(nullptr, nullptr);
  const auto seconds = [](auto call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const double minGvf = static_cast<double>(state.range(0)) / 1000.0;
  std::vector<double> ratios;
  double natural = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    const double t = seconds([&] { m.DataSecByNaturalBreaks(10, &breaks, &breakNum, &ids, &counts); });
    natural += t;
    state.ResumeTiming();
    const double a = seconds([&] {
      m.DataSecByNaturalBreaksAuto(10, minGvf, &breaks, &breakNum, &ids, &counts);
    });
    ratios.push_back(a / t);
  }
  std::sort(ratios.begin(), ratios.end());
  state.counters["classes"] = breakNum - 1;
  state.counters["natural10_ms"] = natural / static_cast<double>(ratios.size()) * 1e3;
  state.counters["x_natural"] = ratios[ratios.size() / 2];
}
BENCHMARK(BM_NaturalBreaksAutoMillion)
    ->Arg(800)
    ->Arg(990)
    ->Arg(999)
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

// The comparison: the member and the classic programme on the same n, k = 5.
void BM_NaturalBreaksMember(benchmark::State& state) {
  RunMember(state, ParcelAreas(state.range(0)), 5);
}
BENCHMARK(BM_NaturalBreaksMember)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_NaturalBreaksQuadratic(benchmark::State& state) {
  const std::vector<double> data = ParcelAreas(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(QuadraticNaturalBreaks(data, 5));
}
BENCHMARK(BM_NaturalBreaksQuadratic)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Work of another kind between calls, as a caller does (an interpreter
// running a binding, for one): a pass over `bytes` bytes of other memory,
// one cache line after another, with branches that go either way as the
// bytes say. Returns a hash, so that the pass is not left out.
__attribute__((noinline)) unsigned OtherWork(std::int64_t bytes, unsigned seed) {
  static std::vector<unsigned char> other(1 << 20);
  unsigned h = seed;
  for (std::int64_t i = 0; i < bytes && i < static_cast<std::int64_t>(other.size()); i += 64) {
    h = h * 31 + other[static_cast<std::size_t>(i)];
    if ((h & 1) != 0) {
      ++other[static_cast<std::size_t>(i)];
    } else if ((h & 2) != 0) {
      --other[static_cast<std::size_t>(i)];
    }
  }
  return h;
}

// A whole call (object, sorted view, classes) after other work of range(2)
// bytes, untimed, against the same call in a loop of nothing but calls
// (range(2) = 0), 8 samples of range(0) values taken in turn. A loop of calls
// alone keeps the call's memory in the processor's caches and its record of
// the ways the call's branches went; a caller that does anything else
// between its calls finds them spent.
void BM_NaturalBreaksAfterOtherWork(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const auto k = static_cast<std::int32_t>(state.range(1));
  std::vector<double> all = ParcelAreas(8 * static_cast<std::int64_t>(n));
  std::int64_t call = 0;
  unsigned hash = 0;
  for (auto _ : state) {
    hash += OtherWork(state.range(2), static_cast<unsigned>(call));
    const auto start = std::chrono::steady_clock::now();
    CMensora m(all.data() + (call++ % 8) * n, n);
    double* breaks = nullptr;
    std::int32_t breakNum = 0;
    std::int32_t* ids = nullptr;
    std::int32_t* counts = nullptr;
    if (m.DataSecByNaturalBreaks(k, &breaks, &breakNum, &ids, &counts) != 1) {
      state.SkipWithError("DataSecByNaturalBreaks failed");
      break;
    }
    benchmark::DoNotOptimize(breaks);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  benchmark::DoNotOptimize(hash);
}
BENCHMARK(BM_NaturalBreaksAfterOtherWork)
    ->ArgNames({"n", "k", "other_bytes"})
    ->ArgsProduct({{1000}, {5, 20}, {0, 16384, 65536}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
