#!/usr/bin/env bash
# The demo page of the WebAssembly package in headless Chromium: a bundled CSV
# picked in the page as a user would, the legend's counts checked against the
# library, a screenshot saved as $MENSORA_WASM_BUILD/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh emscripten cmake make chromium
command -v npm >/dev/null || { echo "check-browser: node and npm are needed"; exit 1; }
export MENSORA_WASM_BUILD=${MENSORA_WASM_BUILD:-$PWD/build-wasm}
cd js
npm ci --no-audit --no-fund
npm run build
SCREENSHOT_DIR=$MENSORA_WASM_BUILD CHROMIUM=/usr/bin/chromium npm run test:browser
