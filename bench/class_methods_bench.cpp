// The range-class methods beyond equal intervals and the fit measures on
// 10^6 values, each against std::sort of the same values measured in the same
// run: the counter "x_sort" is the time of one call (on an object whose sorted
// view is already built) over the time of one std::sort of a copy of the
// values. Names: ClassMethods/<method>/<shape>.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Mensora.h"
#include "sort_baseline.h"

namespace {

using mensora_bench::kSize;
using mensora_bench::SortSeconds;

constexpr std::uint64_t kSeed = 7;

using Classify = std::function<std::int32_t(CMensora&, double**, std::int32_t*, std::int32_t**,
                                            std::int32_t**)>;

void RunMethod(benchmark::State& state, const std::string& shape, const Classify& classify) {
  std::vector<double> data = mensora_bench::Shape(shape, kSeed);
  const double sortSeconds = SortSeconds(data);
  CMensora m(data.data(), kSize);
  double* breaks = nullptr;
  std::int32_t breakNum = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  // Builds the sorted view, once per object, and leaves a result to measure.
  m.DataSecByQuantile(7, &breaks, &breakNum, &ids, &counts);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (classify(m, &breaks, &breakNum, &ids, &counts) != 1) {
      state.SkipWithError("the class method failed");
      return;
    }
    benchmark::DoNotOptimize(ids);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["sort_ms"] = sortSeconds * 1e3;
  state.counters["x_sort"] = seconds / static_cast<double>(state.iterations()) / sortSeconds;
}

void Register() {
  static const double kBreaks[] = {0, 100, 400, 1000, 5000, 1e6};
  static const double kPercents[] = {0, 10, 25, 50, 75, 90, 100};
  const std::vector<std::pair<std::string, Classify>> methods{
      {"breaks", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByBreaks(kBreaks, 6, b, n, i, c);
       }},
      {"percentile", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByPercentile(kPercents, 7, b, n, i, c);
       }},
      {"pretty", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByPretty(7, b, n, i, c);
       }},
      {"geometric", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByGeometric(7, b, n, i, c);
       }},
      {"headtail", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByHeadTail(0.4, b, n, i, c);
       }},
      {"box", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByBoxPlot(1.5, b, n, i, c);
       }},
      {"maxbreaks", [](CMensora& m, double** b, std::int32_t* n, std::int32_t** i, std::int32_t** c) {
         return m.DataSecByMaxBreaks(7, b, n, i, c);
       }},
      // The fit of the current result (the quantile classes of the call
      // before the timing), measured alone.
      {"fit", [](CMensora& m, double**, std::int32_t*, std::int32_t**, std::int32_t**) {
         double f[5];
         return m.DataSecFitNum(0, &f[0], &f[1], &f[2], &f[3], &f[4]);
       }},
  };
  for (const char* shape : {"uniform", "lognormal", "rounded"}) {
    for (const auto& [name, classify] : methods) {
      benchmark::RegisterBenchmark(("ClassMethods/" + name + "/" + shape).c_str(), RunMethod,
                                   std::string(shape), classify)
          ->Unit(benchmark::kMillisecond);
    }
  }
}

const int kRegistered = (Register(), 0);

}  // namespace
