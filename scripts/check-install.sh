#!/usr/bin/env bash
# Installs the library into a scratch prefix and builds the consumer programs
# in tests/consumer (C++ over the class, C over the C interface) against the
# installed copy, once through the CMake package and once through pkg-config,
# and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ gcc make pkg-config
OUT=${OUT:-build-install}
PREFIX="$PWD/$OUT/prefix"
rm -rf "$PREFIX" "$OUT/consumer-cmake" "$OUT/consumer-pc"
cmake -S . -B "$OUT/lib" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_TOOLS=OFF >/dev/null
cmake --build "$OUT/lib" -j2
cmake --install "$OUT/lib" >/dev/null

libdir=$(dirname "$(find "$PREFIX" -name 'libMensora.so.*.*' | head -n1)")
echo "installed: $(cd "$PREFIX" && find . -type f -o -type l | sort | tr '\n' ' ')"
soname=$(objdump -p "$libdir"/libMensora.so | awk '/SONAME/ {print $2}')
[ "$soname" = "libMensora.so.2" ] || { echo "unexpected SONAME: $soname"; exit 1; }

echo "== consumer through find_package(Mensora CONFIG)"
cmake -S tests/consumer -B "$OUT/consumer-cmake" -DCMAKE_PREFIX_PATH="$PREFIX" >/dev/null
cmake --build "$OUT/consumer-cmake" -j2 >/dev/null
"$OUT/consumer-cmake/consumer"
"$OUT/consumer-cmake/consumer_c"

echo "== consumer through pkg-config"
mkdir -p "$OUT/consumer-pc"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
version=$(sed -n 's/^#define MENSORA_VERSION_\(MAJOR\|MINOR\|PATCH\) //p' include/Mensora.h | paste -sd.)
[ "$(pkg-config --modversion mensora)" = "$version" ]
# shellcheck disable=SC2046
g++ -std=c++17 tests/consumer/main.cpp $(pkg-config --cflags --libs mensora) \
  -o "$OUT/consumer-pc/consumer"
# shellcheck disable=SC2046
gcc -std=c99 -pedantic -Wall -Wextra -Werror tests/consumer/main.c \
  $(pkg-config --cflags --libs mensora) -o "$OUT/consumer-pc/consumer_c"
LD_LIBRARY_PATH="$libdir" "$OUT/consumer-pc/consumer"
LD_LIBRARY_PATH="$libdir" "$OUT/consumer-pc/consumer_c"
echo "install check passed"
