#!/usr/bin/env bash
# Runs every further check after the test suite, each in its own build
# directory, and prints how long each took. Every check runs even when an
# earlier one fails; the exit status is non-zero when any failed.
#   scripts/check-all.sh               # all checks
#   scripts/check-all.sh asan fuzz     # only the named ones
set -uo pipefail
cd "$(dirname "$0")/.."
all=(warnings tidy asan valgrind tsan 32bit mingw install bare fuzz)
checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=("${all[@]}")

script_for() {
  case "$1" in
    warnings) echo scripts/check-warnings.sh ;;
    tidy) echo scripts/check-tidy.sh ;;
    asan) echo scripts/check-asan.sh ;;
    valgrind) echo scripts/check-valgrind.sh ;;
    tsan) echo scripts/check-tsan.sh ;;
    32bit) echo scripts/check-32bit.sh ;;
    mingw) echo scripts/check-mingw.sh ;;
    install) echo scripts/check-install.sh ;;
    bare) echo scripts/check-bare.sh ;;
    fuzz) echo scripts/fuzz.sh ;;
    *) return 1 ;;
  esac
}

summary=()
failed=0
total_start=$(date +%s)
for check in "${checks[@]}"; do
  script=$(script_for "$check") || { echo "unknown check: $check (known: ${all[*]})"; exit 2; }
  echo "==== $check ($script)"
  start=$(date +%s)
  if "$script"; then result=passed; else result=FAILED; failed=1; fi
  summary+=("$(printf '%-9s %-7s %4d s' "$check" "$result" $(($(date +%s) - start)))")
done
echo "==== summary"
printf '%s\n' "${summary[@]}"
echo "total $(($(date +%s) - total_start)) s"
passed=$(printf '%s\n' "${summary[@]}" | grep -c ' passed ')
echo "checks: $passed passed, $(( ${#summary[@]} - passed )) failed"
exit $failed
