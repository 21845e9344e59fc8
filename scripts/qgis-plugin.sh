#!/usr/bin/env bash
# Builds the QGIS plugin into a zip that QGIS's "Install from ZIP" takes: the
# plugin's Python code (qgis/mensora_qgis), its own copy of the Python package
# and of the library, and the classification methods of the Graduated dialog,
# compiled against QGIS 3.22 (Debian 12's libqgis-dev).
#   scripts/qgis-plugin.sh [BUILD]   # default BUILD: build-qgis
# Prints the path of the zip: BUILD/mensora_qgis-VERSION.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make python3-numpy libqgis-dev qtbase5-dev
BUILD=${1:-build-qgis}
cmake -S qgis/native -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" --target mensora_qgis -j"$(nproc)" >/dev/null

version=$(sed -nE 's/^#define MENSORA_VERSION_(MAJOR|MINOR|PATCH) ([0-9]+)$/\2/p' include/Mensora.h |
          paste -sd.)
stage="$BUILD/plugin/mensora_qgis"
rm -rf "$BUILD/plugin"
mkdir -p "$stage/mensora"
cp qgis/mensora_qgis/*.py "$stage/"
sed "s/@VERSION@/$version/" qgis/mensora_qgis/metadata.txt >"$stage/metadata.txt"
cp python/mensora/*.py "$stage/mensora/"
# The real file behind the versioned symlinks, under the name the package loads.
cp "$(readlink -f "$BUILD/mensora/libMensora.so")" "$stage/mensora/libMensora.so"
cp "$BUILD/libmensora_qgis.so" "$stage/"
zip="$BUILD/mensora_qgis-$version.zip"
rm -f "$zip"
(cd "$BUILD/plugin" && /usr/bin/python3 -m zipfile -c "../$(basename "$zip")" mensora_qgis)
echo "$zip"
