#!/usr/bin/env bash
# Builds the mensora tool (installing what is missing) and runs it on the
# bundled sample data: a summary, classifications with their histograms.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make
BUILD=${BUILD:-build-example}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMENSORA_TEST=OFF -DMENSORA_BENCH=OFF -DMENSORA_INSTALL=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target mensora >/dev/null
MENSORA="$BUILD/tools/mensora"

set -x
"$MENSORA" summary examples/us_states_1977.csv --column Income --every 10
"$MENSORA" classify examples/us_states_1977.csv --column Income --label State \
  --method equal --classes 4 --svg "$BUILD/income.svg"
"$MENSORA" classify examples/new_york_air_quality_1973.csv --column Ozone --missing skip \
  --method stddev --steps 1 --times 1 --svg "$BUILD/ozone.svg"
"$MENSORA" classify examples/us_states_1977.csv --column Income --label State \
  --method natural --classes 4 --svg "$BUILD/income-natural.svg"
"$MENSORA" classify examples/new_york_air_quality_1973.csv --column Ozone --missing skip \
  --method quantile --classes 4
"$MENSORA" select examples/us_states_1977.csv --column Murder --label State --min 12 --max inf
{ set +x; } 2>/dev/null
echo "Pictures: $BUILD/income.svg $BUILD/ozone.svg $BUILD/income-natural.svg"
