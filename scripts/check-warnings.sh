#!/usr/bin/env bash
# Builds the library with g++ and with clang++ under -Wall -Wextra -Wpedantic
# -Wconversion and -Werror: any warning fails the check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ clang make
OUT=${OUT:-build-warnings}
for cxx in g++ clang++; do
  echo "== warnings with $cxx"
  cmake -S . -B "$OUT/$cxx" -DCMAKE_CXX_COMPILER="$cxx" -DMENSORA_WERROR=ON \
    -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
  cmake --build "$OUT/$cxx" -j2 --clean-first >/dev/null
done
echo "warnings check passed"
