#!/usr/bin/env bash
# Builds the QGIS plugin's zip, unpacks it as QGIS's "Install from ZIP" does,
# and runs its tests in QGIS without a display. The rendered map is left in
# BUILD/qgis/natural_breaks_map.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh python3-qgis python3-pytest python3-numpy libqgis-dev qtbase5-dev
BUILD=${BUILD:-build}
zip=$(scripts/qgis-plugin.sh "$BUILD/qgis")
rm -rf "$BUILD/qgis/installed"
/usr/bin/python3 -m zipfile -e "$zip" "$BUILD/qgis/installed"
QT_QPA_PLATFORM=offscreen MENSORA_QGIS_PLUGIN="$BUILD/qgis/installed" MENSORA_QGIS_OUT="$BUILD/qgis" \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider qgis/tests
