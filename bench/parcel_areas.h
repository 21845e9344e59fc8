// The sample of the natural-breaks benchmarks: lognormal areas.
#ifndef MENSORA_BENCH_PARCEL_AREAS_H
#define MENSORA_BENCH_PARCEL_AREAS_H

#include <cstdint>
#include <random>
#include <vector>

namespace mensora_bench {

// Skewed, practically all distinct, like parcel areas: the hardest case,
// one weighted point per value.
inline std::vector<double> ParcelAreas(std::int64_t n) {
  std::mt19937_64 rng(42);
  std::lognormal_distribution<double> area(6.0, 1.2);
  std::vector<double> data(static_cast<std::size_t>(n));
  for (double& v : data) v = area(rng);
  return data;
}

}  // namespace mensora_bench

#endif  // MENSORA_BENCH_PARCEL_AREAS_H
