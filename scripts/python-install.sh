#!/usr/bin/env bash
# Installs the Python package on a Debian machine: Debian's packages it needs
# (through deps.sh), a virtual environment that sees them, and the package
# built from this checkout with its own copy of the native library.
#   scripts/python-install.sh [VENV]     # default VENV: .venv
# Afterwards use VENV/bin/python3 (or `source VENV/bin/activate`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake g++ make python3-dev python3-venv python3-numpy python3-setuptools python3-wheel
VENV=${1:-.venv}
[ -x "$VENV/bin/python3" ] || /usr/bin/python3 -m venv --system-site-packages "$VENV"
"$VENV/bin/python3" -m pip install --quiet --no-index --no-build-isolation --no-deps \
  --force-reinstall ./python
version=$("$VENV/bin/python3" -c 'import mensora; print(mensora.__version__)')
echo "mensora $version installed: use $VENV/bin/python3"
