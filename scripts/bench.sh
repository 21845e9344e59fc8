#!/usr/bin/env bash
# Builds the benchmarks in Release and prints, for every shape and size, the
# std::sort baseline and each task's time as a ratio to it.
#   scripts/bench.sh                      the whole suite
#   scripts/bench.sh 'n=1000000' ...      extra arguments go to the benchmark
#                                         binary, e.g. --benchmark_filter=/1000000$
#   MENSORA_BENCH_LITERAL_N=100000 scripts/bench.sh --benchmark_filter=literal
#   scripts/bench.sh --benchmark_repetitions=5   medians of five runs each
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev python3
BUILD=${BUILD:-build-release}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target mensora_bench
out=$(mktemp)
"$BUILD"/bench/mensora_bench --benchmark_min_time=0.2 --benchmark_format=json "$@" >"$out"
python3 - "$out" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
times = {}
record = {}  # the run whose counters (x_ ratios) are shown
for r in runs:
    median = r.get("run_type") == "aggregate"  # with repetitions: their median
    if median and r.get("aggregate_name") != "median":
        continue
    name = r.get("run_name", r["name"])
    if median or name not in times:
        record[name] = r
        times[name] = r["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r.get("time_unit", "ns")]
t = {}
others = []
for name, ms in times.items():
    parts = name.split("/")
    if len(parts) >= 3 and parts[2].isdigit():
        t[(parts[0], parts[1], int(parts[2]))] = ms
    else:
        ratio = "".join(f"  ({v:.3f} x {k[2:]})" for k, v in record[name].items() if k.startswith("x_"))
        others.append((name + ratio, ms))
tasks = ["median", "subsection", "mode", "classes5", "classes100", "classes10000", "window"]
literal = ["literal_median", "literal_subsection", "literal_mode"]
keys = sorted({(s, n) for (_, s, n) in t}, key=lambda k: (k[1], k[0]))
cols = [c for c in tasks + literal if any(k[0] == c for k in t)]  # measured columns only
width = [max(8, len(c) + 1) for c in cols]
print("time of each task as a ratio to the baseline (std::sort of (value, position) pairs made")
print("from the sample, in the same run); baseline in milliseconds; - = not measured")
print(f"{'shape':<9}{'n':>8}{'base ms':>10}" + "".join(f"{c:>{w}}" for c, w in zip(cols, width)))
for shape, n in keys:
    base = t.get(("baseline", shape, n))
    row = f"{shape:<9}{n:>8}" + (f"{base:>10.3f}" if base else f"{'-':>10}")
    for c, w in zip(cols, width):
        v = t.get((c, shape, n))
        if v is None:
            row += f"{'-':>{w}}"
        elif base:
            row += f"{v / base:>{w}.3f}"
        else:
            row += f"{v:>{w - 2}.1f}ms"
    print(row)
if others:
    print("\nother benchmarks, milliseconds:")
    for name, ms in others:
        print(f"  {name:<72}{ms:>12.3f}")
PY
rm -f "$out"
