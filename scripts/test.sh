#!/usr/bin/env bash
# Builds the library, its tests and tools, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev python3
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
# The Python package, installed into a virtual environment in the build
# directory, and its tests against the library's results through the tool.
scripts/deps.sh python3-pytest python3-pandas python3-dask python3-distributed python3-matplotlib \
  python3-geopandas
scripts/python-install.sh "$BUILD/venv"
MENSORA_TOOL="$BUILD/tools/mensora" "$BUILD/venv/bin/python3" -m pytest -q -p no:cacheprovider python/tests
# The WebAssembly package (js/): its build and Node tests, against the tool above.
BUILD="$BUILD" scripts/test-js.sh
# The PostgreSQL extension (postgres/): built, installed and tested in a
# throwaway cluster.
scripts/test-postgres.sh
# The R package (r/): installed, and R CMD check with its tests against the tool above.
BUILD="$BUILD" scripts/test-r.sh
# The QGIS plugin (qgis/): its zip, and its tests in QGIS 3.22 without a display
# (MENSORA_QGIS=0 leaves them out, and the install of QGIS with them).
[ "${MENSORA_QGIS:-1}" = 0 ] || BUILD="$BUILD" scripts/test-qgis.sh
