#!/usr/bin/env bash
# Builds the library with ThreadSanitizer and runs the test that uses separate
# objects from several threads at once (tests/sample/threads_test.cpp). The
# test is linked into a binary of its own: other test files replace the global
# allocation operators, which ThreadSanitizer's runtime also defines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake clang make libgtest-dev libgmock-dev
OUT=${OUT:-build-tsan}
flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$OUT" -j2 --target Mensora
# shellcheck disable=SC2086
clang++ -std=c++17 -O1 -g $flags -Iinclude -Itests tests/sample/threads_test.cpp \
  -L"$OUT" -Wl,-rpath,"$PWD/$OUT" -lMensora -lgtest -lgtest_main -pthread -o "$OUT/threads_test"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$OUT/threads_test" --gtest_brief=1
echo "thread sanitizer check passed"
