#!/usr/bin/env bash
# Builds the library and the unit tests with ThreadSanitizer and runs the tests
# that use separate objects from several threads at once.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake clang make libgtest-dev libgmock-dev
OUT=${OUT:-build-tsan}
flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$OUT" -j2 --target mensora_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  "$OUT/tests/mensora_tests" --gtest_filter='Threads.*' --gtest_brief=1
echo "thread sanitizer check passed"
