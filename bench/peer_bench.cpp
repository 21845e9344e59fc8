// Natural breaks against the stand-in of the fastest exact method we compare
// with (smawk_peer.h: the O(k n) programme solved by SMAWK), whole calls on
// the same lognormal values, alternated in the same run:
//   library:  a new CMensora over the array, DataSecByNaturalBreaks, release
//             (default threads), as the bindings' timed C++ call makes it;
//   stand-in: copy, sort, programme, breaks.
// Counters: per-call microseconds (medians), x_peer the median over the
// rounds of the stand-in's time over the library's (above 1: the library is
// faster), x_best the ratio of the best times, x_rows that of the stand-in
// keeping two layers of costs instead of the k x n matrix, and the stand-in's
// own split (copy and sort, layers) and allocations. Before timing, each
// case checks that both find the same classes (or, where ties or rounding
// part them, the same least sum of squares). At exit a table of the cases
// run goes to stderr. The calls alternate because a call repeated back to
// back on the same values runs faster than one after other work (the
// library's at 10^3 values and k = 20 about 1.4 times as fast, likely as its
// scans' branches learn the values), which no caller with new values sees:
//   build-release/bench/mensora_bench --benchmark_filter=Peer
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Mensora.h"
#include "parcel_areas.h"
#include "smawk_peer.h"

namespace {

using mensora_bench::PeerLayout;
using mensora_bench::PeerStats;
using mensora_bench::SmawkPeerBreaks;
using Clock = std::chrono::steady_clock;

// One whole call of the library: breaks[0..k], sizes[0..k-1].
bool LibraryCall(const std::vector<double>& data, std::int32_t k, double* breaks,
                 std::int32_t* sizes) {
  double* got = nullptr;
  std::int32_t count = 0;
  std::int32_t* ids = nullptr;
  std::int32_t* counts = nullptr;
  // The object only reads the array.
  CMensora object(const_cast<double*>(data.data()), static_cast<std::int32_t>(data.size()));
  if (object.DataSecByNaturalBreaks(k, &got, &count, &ids, &counts) != 1 || count != k + 1) {
    return false;
  }
  std::copy(got, got + count, breaks);
  std::copy(counts, counts + k, sizes);
  return true;
}

// Sum of squared deviations from the class means of the sorted values in
// classes of the given sizes, in long double.
long double WithinSsq(const std::vector<double>& sorted, const std::vector<std::int32_t>& sizes) {
  long double total = 0.0L;
  std::size_t at = 0;
  for (const std::int32_t size : sizes) {
    long double mean = 0.0L;
    for (std::int32_t i = 0; i < size; ++i) mean += sorted[at + static_cast<std::size_t>(i)];
    mean /= size;
    for (std::int32_t i = 0; i < size; ++i) {
      const long double d = sorted[at + static_cast<std::size_t>(i)] - mean;
      total += d * d;
    }
    at += static_cast<std::size_t>(size);
  }
  return total;
}

struct Row {
  double libUs, peerUs, rowsUs, ratio, best, rowsRatio, sortShare, layerShare;
  std::int64_t allocations;
  bool sameSizes;
};

// The cases run, printed at exit (to stderr: stdout may carry JSON).
struct Table {
  std::map<std::pair<std::int32_t, std::int32_t>, Row> rows;
  ~Table() {
    if (rows.empty()) return;
    std::fprintf(stderr,
                 "\nnatural breaks, whole calls: library vs SMAWK stand-in (medians, µs)\n"
                 "%8s %3s %11s %11s %8s %7s %8s %7s %7s %6s %5s\n",
                 "n", "k", "library", "stand-in", "x_peer", "x_best", "x_rows", "sort%", "layer%",
                 "alloc", "same");
    for (const auto& [key, r] : rows) {
      std::fprintf(stderr, "%8d %3d %11.2f %11.2f %8.2f %7.2f %8.2f %7.1f %7.1f %6lld %5s\n",
                   key.first, key.second, r.libUs, r.peerUs, r.ratio, r.best, r.rowsRatio,
                   100.0 * r.sortShare, 100.0 * r.layerShare,
                   static_cast<long long>(r.allocations), r.sameSizes ? "yes" : "ssq");
    }
  }
};

Table& Results() {
  static Table table;
  return table;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t h = v.size() / 2;
  return v.size() % 2 == 1 ? v[h] : (v[h - 1] + v[h]) / 2.0;
}

void PeerCase(benchmark::State& state, std::int32_t n, std::int32_t k) {
  const std::vector<double> data = mensora_bench::ParcelAreas(n);
  const auto kk = static_cast<std::size_t>(k);
  std::vector<double> libBreaks(kk + 1), peerBreaks(kk + 1);
  std::vector<std::int32_t> libSizes(kk), peerSizes(kk);

  // The check: the same classes, or the same least sum of squares.
  PeerStats stats;
  if (!LibraryCall(data, k, libBreaks.data(), libSizes.data()) ||
      !SmawkPeerBreaks(data.data(), n, k, PeerLayout::kTwoRows, peerBreaks.data(),
                       peerSizes.data()) ||
      !SmawkPeerBreaks(data.data(), n, k, PeerLayout::kFullMatrix, peerBreaks.data(),
                       peerSizes.data(), &stats)) {
    state.SkipWithError("a call failed");
    return;
  }
  const bool sameSizes = libSizes == peerSizes;
  if (!sameSizes || libBreaks != peerBreaks) {
    std::vector<double> sorted = data;
    std::sort(sorted.begin(), sorted.end());
    const long double lib = WithinSsq(sorted, libSizes);
    const long double peer = WithinSsq(sorted, peerSizes);
    const long double total = WithinSsq(sorted, {n});
    if (std::fabs(static_cast<double>(lib - peer)) > 1e-12 * static_cast<double>(total)) {
      state.SkipWithError("the stand-in's classes differ from the library's");
      return;
    }
  }
  const double peerSeconds = stats.copySortSeconds + stats.prefixSeconds + stats.layerSeconds +
                             stats.backtrackSeconds;

  // Calls per timed batch: at least 100 µs of the library's.
  Clock::time_point start = Clock::now();
  LibraryCall(data, k, libBreaks.data(), libSizes.data());
  const double once = std::chrono::duration<double>(Clock::now() - start).count();
  const int batch = static_cast<int>(std::clamp(std::ceil(100e-6 / once), 1.0, 10000.0));

  const auto timeBatch = [&](int which) {
    const Clock::time_point t0 = Clock::now();
    for (int r = 0; r < batch; ++r) {
      bool ok = which == 0
                    ? LibraryCall(data, k, libBreaks.data(), libSizes.data())
                    : SmawkPeerBreaks(data.data(), n, k,
                                      which == 1 ? PeerLayout::kFullMatrix : PeerLayout::kTwoRows,
                                      peerBreaks.data(), peerSizes.data());
      benchmark::DoNotOptimize(ok);
      benchmark::DoNotOptimize(libBreaks.data());
      benchmark::DoNotOptimize(peerBreaks.data());
    }
    return std::chrono::duration<double>(Clock::now() - t0).count() / batch;
  };
  std::vector<double> lib, peer, rows, ratios, rowsRatios;
  int round = 0;
  for (auto _ : state) {
    double t[3];
    // The order turns every round.
    for (int c = 0; c < 3; ++c) {
      const int which = (c + round) % 3;
      t[which] = timeBatch(which);
    }
    ++round;
    lib.push_back(t[0]);
    peer.push_back(t[1]);
    rows.push_back(t[2]);
    ratios.push_back(t[1] / t[0]);
    rowsRatios.push_back(t[2] / t[0]);
    state.SetIterationTime(t[0]);
  }
  Row row{};
  row.libUs = Median(lib) * 1e6;
  row.peerUs = Median(peer) * 1e6;
  row.rowsUs = Median(rows) * 1e6;
  row.ratio = Median(ratios);
  row.best = *std::min_element(peer.begin(), peer.end()) / *std::min_element(lib.begin(), lib.end());
  row.rowsRatio = Median(rowsRatios);
  row.sortShare = stats.copySortSeconds / peerSeconds;
  row.layerShare = stats.layerSeconds / peerSeconds;
  row.allocations = stats.allocations;
  row.sameSizes = sameSizes;
  Results().rows[{n, k}] = row;

  state.counters["lib_us"] = row.libUs;
  state.counters["peer_us"] = row.peerUs;
  state.counters["x_peer"] = row.ratio;
  state.counters["x_best"] = row.best;
  state.counters["x_rows"] = row.rowsRatio;
  state.counters["peer_sort_pct"] = 100.0 * row.sortShare;
  state.counters["peer_layer_pct"] = 100.0 * row.layerShare;
  state.counters["peer_allocs"] = static_cast<double>(row.allocations);
  state.counters["same_sizes"] = sameSizes ? 1.0 : 0.0;
}

// Rounds per case: enough for a stable median, about 2 minutes in all.
int Rounds(std::int32_t n) {
  if (n <= 1000) return 300;
  if (n <= 10000) return 100;
  if (n <= 100000) return 25;
  return 5;
}

const int kRegistered = [] {
  for (const std::int32_t n : {10, 20, 50, 70, 100, 1000, 10000, 100000, 1000000}) {
    for (const std::int32_t k : {5, 7, 20}) {
      if (k >= n) continue;
      const std::string name =
          "BM_NaturalBreaksPeer/n:" + std::to_string(n) + "/k:" + std::to_string(k);
      benchmark::RegisterBenchmark(name.c_str(),
                                   [n, k](benchmark::State& state) { PeerCase(state, n, k); })
          ->Iterations(Rounds(n))
          ->UseManualTime()
          ->Unit(benchmark::kMicrosecond);
    }
  }
  return 0;
}();

}  // namespace
