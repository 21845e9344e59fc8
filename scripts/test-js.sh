#!/usr/bin/env bash
# Builds the WebAssembly package in js/ with emscripten and runs its Node
# tests, which compare it with the native tool of the CMake build in $BUILD
# (built by scripts/test.sh), install its npm tarball into an empty folder
# and type-check small TypeScript consumers of it with tsc.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh emscripten cmake make node-typescript
command -v npm >/dev/null || { echo "test-js: node and npm are needed"; exit 1; }
BUILD=${BUILD:-build}
case $BUILD in /*) ;; *) BUILD=$PWD/$BUILD ;; esac
export MENSORA_TOOL=$BUILD/tools/mensora
export MENSORA_WASM_BUILD=${MENSORA_WASM_BUILD:-$BUILD-wasm}
cd js
npm run build
npm test
