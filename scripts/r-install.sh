#!/usr/bin/env bash
# Installs the R package on a Debian machine: R and the packages its tests
# and examples use (through deps.sh), the library's sources copied into r/src,
# the source tarball built with R CMD build, and the package installed from
# it into a library under the build directory.
#   scripts/r-install.sh            # BUILD defaults to build
# Afterwards: R_LIBS=$BUILD/r-lib R, then library(mensora). The tarball stays
# in $BUILD/r/ (for R CMD check, or R CMD INSTALL anywhere).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh r-base-dev r-cran-testthat r-cran-jsonlite r-cran-classint r-cran-sf
BUILD=${BUILD:-build}
case $BUILD in /*) ;; *) BUILD=$PWD/$BUILD ;; esac

# The package compiles the library's own sources: those CMake builds into
# the library, listed in src/mensora/sources for configure, and the headers.
rm -rf r/src/mensora
mkdir -p r/src/mensora/src
cp -r include r/src/mensora/
(cd src && find . \( -name '*.cpp' -o -name '*.h' \) -exec cp --parents {} ../r/src/mensora/src/ \;)
awk '/^add_library\(Mensora SHARED/{f=1;next} f&&/^\)/{f=0} f{print $1}' CMakeLists.txt \
  >r/src/mensora/sources
[ -s r/src/mensora/sources ] || { echo "r-install: no library sources found in CMakeLists.txt" >&2; exit 1; }

mkdir -p "$BUILD/r" "$BUILD/r-lib"
version=$(sed -n 's/^Version: *//p' r/DESCRIPTION)
(cd "$BUILD/r" && R CMD build --no-manual "$OLDPWD/r" >build.log 2>&1) || { cat "$BUILD/r/build.log"; exit 1; }
R CMD INSTALL -l "$BUILD/r-lib" "$BUILD/r/mensora_$version.tar.gz" >"$BUILD/r/install.log" 2>&1 \
  || { cat "$BUILD/r/install.log"; exit 1; }
echo "mensora $version installed into $BUILD/r-lib: R_LIBS=$BUILD/r-lib R, then library(mensora)"
