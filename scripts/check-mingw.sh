#!/usr/bin/env bash
# Cross-builds Mensora.dll and the test suite for 32-bit Windows with
# MinGW-w64 (GoogleTest is built from Debian's sources with the same
# compiler), checks that the DLL exports the class and the C interface and
# nothing else, and runs the tests (the C program over the C interface
# included) through CTest with Wine as the emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++-mingw-w64-i686 googletest wine wine32:i386
OUT=${OUT:-build-mingw}
TOOLCHAIN="$PWD/cmake/mingw-w64-i686.cmake"
export WINEPREFIX="$PWD/$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# GoogleTest for the cross compiler, built once per build directory.
GTEST_PREFIX="$PWD/$OUT/gtest"
if [ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$OUT/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" \
    -Dgtest_disable_pthreads=OFF -DBUILD_GMOCK=ON >/dev/null
  cmake --build "$OUT/gtest-build" -j2 >/dev/null
  cmake --install "$OUT/gtest-build" >/dev/null
fi

# The first start of a new Wine prefix takes a while; do it before the tests.
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1 || true

cmake -S . -B "$OUT/mensora" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_PREFIX_PATH="$GTEST_PREFIX" \
  -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$PWD/$OUT/mensora/bin" \
  -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
cmake --build "$OUT/mensora" -j2

dll="$OUT/mensora/bin/Mensora.dll"
i686-w64-mingw32-objdump -p "$dll" >"$OUT/dll-headers.txt"
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {f = 1; next} f && /^[[:space:]]*$/ {f = 0} f' \
  "$OUT/dll-headers.txt")
grep -q '_ZN8CMensora15DataSecByMaxMin' <<<"$exports" || { echo "Mensora.dll does not export the class"; exit 1; }
# Every function the C header declares, by its plain C name.
c_names=$(grep -o 'mensora_[a-z_]*(' include/mensora_c.h | tr -d '(' | sort -u)
for name in $c_names; do
  grep -qE "\] $name\$" <<<"$exports" || { echo "Mensora.dll does not export $name"; exit 1; }
done
extra=$(grep -v -E '8CMensora|\] mensora_[a-z_]+$' <<<"$exports" | grep '\]' || true)
[ -z "$extra" ] || { echo "Mensora.dll exports more than the class and the C interface:"; echo "$extra"; exit 1; }
echo "Mensora.dll exports $(echo "$exports" | grep -c '8CMensora') members of CMensora and $(echo "$c_names" | wc -w) C functions"

# The fallback tests fail the library's allocations by replacing the global
# allocation operators in the test program; a DLL keeps its own operators, so
# on Windows they cannot reach the library and are left out.
echo "left out under Wine: Fallback.* (allocation operators cannot be replaced across a DLL)"
ctest --test-dir "$OUT/mensora" --output-on-failure -j2 -E '^Fallback\.'
