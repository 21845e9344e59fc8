// A stand-in, for the benchmarks only, of the fastest exact method of
// natural breaks we compare against: the dynamic programme of optimal
// one-dimensional k-means whose layers are solved by SMAWK in O(n) each,
// O(k n) in all after the sort. Written here from the published algorithm,
// as a straightforward implementation of it would be (a sorted copy,
// std::vector layers and back-pointers, recursive SMAWK, no threads), to
// have that method's speed on this machine. It is not part of the library,
// its ties and rounding are its own, and nothing but the benchmarks uses it.
#ifndef MENSORA_BENCH_SMAWK_PEER_H
#define MENSORA_BENCH_SMAWK_PEER_H

#include <cstdint>

namespace mensora_bench {

// Where the time of one call went, and how many blocks it allocated.
struct PeerStats {
  double copySortSeconds = 0.0;
  double prefixSeconds = 0.0;
  double layerSeconds = 0.0;  // the k layers of the programme
  double backtrackSeconds = 0.0;
  std::int64_t allocations = 0;
};

// How the costs of the layers are kept: a k x n matrix, as the published
// recurrence writes it, or only the previous and the current layer.
enum class PeerLayout { kFullMatrix, kTwoRows };

// The optimal partition of values[0..n-1] (any order, finite) into k classes
// of consecutive sorted values (1 <= k <= n): breaks[0..k] (the smallest
// value of each class, then the largest value) and sizes[0..k-1]. Fills
// `stats` when it is not null. False on a bad argument.
bool SmawkPeerBreaks(const double* values, std::int32_t n, std::int32_t k, PeerLayout layout,
                     double* breaks, std::int32_t* sizes, PeerStats* stats = nullptr);

}  // namespace mensora_bench

#endif  // MENSORA_BENCH_SMAWK_PEER_H
