#!/usr/bin/env bash
# Builds the library and its tests as 32-bit x86 programs (-m32) with SSE2
# arithmetic, so that doubles round as IEEE doubles and never through 80-bit
# x87 registers, and runs the tests through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++-multilib libgtest-dev:i386 libgmock-dev:i386 python3
OUT=${OUT:-build-m32}
flags="-m32 -msse2 -mfpmath=sse"
cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-m32 -DCMAKE_SHARED_LINKER_FLAGS=-m32 \
  -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
cmake --build "$OUT" -j2
file -L "$OUT/libMensora.so" | grep -q "ELF 32-bit" || { echo "not a 32-bit library"; exit 1; }
# x87 instructions may only move doubles (the 32-bit calling convention
# returns them in st(0)); any x87 arithmetic would round differently. Only
# the mnemonic after the tab is read: an address such as fadd: is not one.
if objdump -d --no-show-raw-insn "$OUT/libMensora.so" |
    grep -E $'\tfi?(add|sub|mul|div|sqrt|prem|scale)'; then
  echo "x87 arithmetic in the 32-bit library"; exit 1
fi
ctest --test-dir "$OUT" --output-on-failure -j2
