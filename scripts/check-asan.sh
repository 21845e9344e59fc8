#!/usr/bin/env bash
# Builds the library and the whole test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (no recovery: the first finding ends the run) and
# runs every test through CTest, the C program over the C interface with the
# same sanitizers. CXX=g++ uses GCC's sanitizers (and gcc) instead of clang's.
set -euo pipefail
cd "$(dirname "$0")/.."
CXX=${CXX:-clang++}
CC=${CC:-$([ "$CXX" = g++ ] && echo gcc || echo clang)}
scripts/deps.sh cmake g++ clang make libgtest-dev libgmock-dev libbenchmark-dev python3
OUT=${OUT:-build-asan}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# The C program links the C++ library: clang links the sanitizers' C++ parts
# into a C program only when asked.
link=""; [ "$CC" = gcc ] || link="-fsanitize-link-c++-runtime -lstdc++"
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_C_COMPILER="$CC" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSORA_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags $link" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$OUT" -j2
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$OUT" --output-on-failure -j2
