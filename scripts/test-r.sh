#!/usr/bin/env bash
# Installs the R package (scripts/r-install.sh) and runs R CMD check on its
# tarball, tests included: the testthat tests compare every style with the
# native tool of the CMake build in $BUILD (built by scripts/test.sh; the
# tests that need it are skipped without it) and run the repository's table
# of cases. Fails on any ERROR or WARNING.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
case $BUILD in /*) ;; *) BUILD=$PWD/$BUILD ;; esac
BUILD=$BUILD scripts/r-install.sh
export MENSORA_TOOL=$BUILD/tools/mensora
# The table of cases every binding runs.
export MENSORA_CASES=$PWD/tests/cases/missing_values.json
version=$(sed -n 's/^Version: *//p' r/DESCRIPTION)
cd "$BUILD/r"
# The dependency check reads a package repository: an empty local one keeps
# it off the network.
mkdir -p repo/src/contrib
: >repo/src/contrib/PACKAGES
echo "options(repos = c(local = \"file://$BUILD/r/repo\"))" >check-profile.R
status=0
R_PROFILE_USER=$BUILD/r/check-profile.R R_LIBS=$BUILD/r-lib \
  R CMD check --no-manual "mensora_$version.tar.gz" >check.log 2>&1 || status=$?
cat check.log
if [ $status -ne 0 ] || grep -q -e '\.\.\. ERROR$' -e '\.\.\. WARNING$' -e '^Status: .*\(ERROR\|WARNING\)' check.log; then
  [ ! -f mensora.Rcheck/tests/testthat.Rout.fail ] || cat mensora.Rcheck/tests/testthat.Rout.fail
  echo "test-r: R CMD check found an ERROR or WARNING" >&2
  exit 1
fi
