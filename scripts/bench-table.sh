#!/usr/bin/env bash
# Prints the time of natural breaks in C++, through the C interface, in
# Python and in WebAssembly (Node) for n = 10^1 .. 10^6 and k = 5, 7, 20, each
# as a ratio to the C++ call in the same run (python/benchmarks/call_table.py
# says how). Builds the library in Release with the timed calls, the Python
# package over that library, and the WebAssembly package when emscripten and
# Node are there (else that column is left out). Not a test: nothing fails on
# a slow figure.
#   scripts/bench-table.sh [--rounds 7] [--sizes 1,2,3] [--ks 5,20]
#   scripts/bench-table.sh --bindings   natural_breaks, quantile_breaks and
#                                       classify in Python against C++
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make
BUILD=${BUILD:-build-release}
case $BUILD in /*) ;; *) BUILD=$PWD/$BUILD ;; esac
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target Mensora mensora_call_timer >/dev/null

scripts/python-install.sh "$BUILD/venv" >/dev/null

node=()
if [[ " $* " != *" --bindings "* ]]; then
  if command -v node >/dev/null && command -v emcc >/dev/null; then
    (cd js && MENSORA_WASM_BUILD=${MENSORA_WASM_BUILD:-$BUILD-wasm} npm run --silent build >/dev/null)
    node=(--node js/bench/call-table.mjs)
  else
    echo "bench-table: no emscripten or Node; the WebAssembly column is left out" >&2
  fi
fi
"$BUILD/venv/bin/python3" python/benchmarks/call_table.py \
  --timer "$BUILD/bench/libmensora_call_timer.so" "${node[@]}" "$@"
