#!/usr/bin/env bash
# Runs every Google Test binary of the suite, and every test labelled plain
# (the C program over the C interface), under valgrind memcheck: any memory
# error, any leaked or unreleased block fails the check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make libgtest-dev libgmock-dev valgrind python3
OUT=${OUT:-build-valgrind}
cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
cmake --build "$OUT" -j2
# The test executables that CTest runs with a --gtest_filter, each once, and
# the plain test programs (which take no arguments).
tests=$(ctest --test-dir "$OUT" --show-only=json-v1)
select_tests() {
  python3 -c '
import json, sys
seen = []
for t in json.load(sys.stdin)["tests"]:
    cmd = t.get("command") or []
    labels = [l for p in t.get("properties", []) if p["name"] == "LABELS" for l in p["value"]]
    gtest = any(a.startswith("--gtest_filter") for a in cmd[1:])
    if cmd and (gtest if sys.argv[1] == "gtest" else "plain" in labels) and cmd[0] not in seen:
        seen.append(cmd[0])
print("\n".join(seen))' "$1" <<<"$tests"
}
mapfile -t binaries < <(select_tests gtest)
mapfile -t plain < <(select_tests plain)
[ ${#binaries[@]} -gt 0 ] || { echo "no test binaries found"; exit 1; }
memcheck=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=all
          --errors-for-leak-kinds=all --soname-synonyms=somalloc=nouserintercepts --quiet)
for bin in "${plain[@]}"; do
  [ -n "$bin" ] || continue
  echo "== valgrind $bin"
  "${memcheck[@]}" "$bin"
done
# Each binary runs as two shards at once (the tests split by GoogleTest).
# User-defined allocation operators (the allocation-failure tests count and
# fail allocations) stay in place: valgrind tracks the malloc under them.
SHARDS=${VALGRIND_SHARDS:-2}
for bin in "${binaries[@]}"; do
  echo "== valgrind $bin ($SHARDS shards)"
  pids=()
  for ((shard = 0; shard < SHARDS; ++shard)); do
    GTEST_TOTAL_SHARDS=$SHARDS GTEST_SHARD_INDEX=$shard \
      "${memcheck[@]}" "$bin" --gtest_brief=1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid"; done
done
echo "valgrind check passed"
