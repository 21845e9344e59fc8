#!/usr/bin/env bash
# Line and branch coverage of the library's sources by a fuzzing corpus:
# builds the fuzzer with clang's source-based coverage (no sanitizers),
# replays the corpus directories given (default: fuzz/corpus) and prints
# llvm-cov's report over src/.
#   scripts/fuzz-coverage.sh fuzz/corpus build-fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake clang llvm make
OUT=${OUT:-build-fuzz-cov}
flags="-fprofile-instr-generate -fcoverage-mapping -fsanitize=fuzzer-no-link"
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DMENSORA_FUZZ=ON -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF \
  -DMENSORA_INSTALL=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate \
  -DCMAKE_SHARED_LINKER_FLAGS=-fprofile-instr-generate >/dev/null
cmake --build "$OUT" -j2 --target mensora_fuzz
corpora=("$@")
[ ${#corpora[@]} -gt 0 ] || corpora=(fuzz/corpus)
rm -f "$OUT"/*.profraw
LLVM_PROFILE_FILE="$PWD/$OUT/fuzz-%p.profraw" "$OUT/fuzz/mensora_fuzz" -runs=0 "${corpora[@]}" \
  >"$OUT/replay.log" 2>&1
llvm-profdata merge -sparse "$OUT"/*.profraw -o "$OUT/fuzz.profdata"
llvm-cov report "$OUT/fuzz/mensora_fuzz" -object "$OUT/libMensora.so" \
  -instr-profile="$OUT/fuzz.profdata" "$PWD/src"
