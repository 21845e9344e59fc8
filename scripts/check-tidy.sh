#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over every source of the
# library; any finding fails the check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake clang clang-tidy
OUT=${OUT:-build-tidy}
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
find src -name '*.cpp' -print0 | sort -z |
  xargs -0 -n1 -P2 clang-tidy -p "$OUT" --quiet 2>/dev/null
echo "clang-tidy check passed"
