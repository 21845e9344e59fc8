#!/usr/bin/env bash
# A configure as on a machine with only CMake and the compilers: GoogleTest,
# Google Benchmark and Python hidden from CMake. The library, the tool and
# the C program over the C interface still build and run, and each part left
# out says so in one line. A second configure hides only Python (the tool's
# tests are then left out).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ gcc make
OUT=${OUT:-build-bare}
rm -rf "$OUT"
mkdir -p "$OUT"

expect_note() {
  grep -q "Mensora: $2" "$1" || { echo "no note \"$2\" in the configure output:"; cat "$1"; exit 1; }
}

cmake -S . -B "$OUT/none" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON >"$OUT/none.log"
expect_note "$OUT/none.log" "GoogleTest not found"
expect_note "$OUT/none.log" "Google Benchmark not found"
grep '^-- Mensora:' "$OUT/none.log"
cmake --build "$OUT/none" -j2 >/dev/null
"$OUT/none/tools/mensora" summary examples/us_states_1977.csv --column Income >/dev/null
ctest --test-dir "$OUT/none" --output-on-failure

cmake -S . -B "$OUT/no-python" -DMENSORA_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON \
  >"$OUT/no-python.log"
expect_note "$OUT/no-python.log" "Python 3 not found"
grep '^-- Mensora:' "$OUT/no-python.log"
echo "bare configure check passed"
