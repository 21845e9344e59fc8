#!/usr/bin/env bash
# Builds the library, its tests and tools, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev python3
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
# The WebAssembly package (js/): its build and Node tests, against the tool above.
BUILD="$BUILD" scripts/test-js.sh
