#!/usr/bin/env bash
# Builds the differential fuzzer (clang, libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer), replays the seed corpus in fuzz/corpus, then
# fuzzes for FUZZ_SECONDS (default 75) and prints libFuzzer's final
# statistics. A difference between the library and the literal model, or any
# sanitizer finding, fails the run and leaves the input in $OUT/artifacts.
#   FUZZ_SECONDS=1200 scripts/fuzz.sh      # a longer run (FUZZ_ARGS: more flags)
#   scripts/fuzz.sh $OUT/artifacts/crash-... # replay one input
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake clang make libgtest-dev libgmock-dev
OUT=${OUT:-build-fuzz}
SECONDS_TO_RUN=${FUZZ_SECONDS:-75}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENSORA_FUZZ=ON -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF \
  -DMENSORA_INSTALL=OFF -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$OUT" -j2 --target mensora_fuzz
fuzzer="$OUT/fuzz/mensora_fuzz"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$OUT/artifacts" "$OUT/corpus"
if [ $# -gt 0 ]; then
  exec "$fuzzer" "$@"
fi
run() {
  if ! "$fuzzer" -timeout=20 -rss_limit_mb=2048 -artifact_prefix="$OUT/artifacts/" \
      -max_len=8192 "$@" >"$OUT/fuzz.log" 2>&1; then
    grep -v -E '^#[0-9]+' "$OUT/fuzz.log" | tail -n 60
    echo "fuzzer failed; the input is in $OUT/artifacts"
    exit 1
  fi
}
echo "== replaying $(find fuzz/corpus -type f | wc -l) seeds"
run -runs=0 fuzz/corpus
echo "== fuzzing for $SECONDS_TO_RUN s"
# shellcheck disable=SC2086
run -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 ${FUZZ_ARGS:-} "$OUT/corpus" fuzz/corpus
grep -E '^(Done|stat::)|cov:' "$OUT/fuzz.log" | tail -n 8
echo "fuzz check passed"
