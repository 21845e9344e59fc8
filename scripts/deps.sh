#!/usr/bin/env bash
# Installs, through apt-get, the Debian packages named on the command line that
# are not installed yet. Quiet when everything is there. A name ending in
# :i386 adds the i386 architecture first when it is missing. While another
# package manager holds one of apt's locks it waits (up to ten minutes).
set -euo pipefail
missing=()
for pkg in "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -gt 0 ] || exit 0

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
# apt-get waits for dpkg's lock by itself (DPkg::Lock::Timeout) but fails at
# once on the lock of the package lists or of the download cache: such a run
# is repeated until the lock is free.
apt_get() {
  local out deadline=$((SECONDS + 600))
  while :; do
    if out=$($SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@" 2>&1); then
      [ -z "$out" ] || printf '%s\n' "$out"
      return 0
    fi
    if ! grep -q -e 'Could not get lock' -e 'Unable to lock' <<<"$out" || [ $SECONDS -ge $deadline ]; then
      printf '%s\n' "$out" >&2
      return 1
    fi
    echo "waiting for another package manager to finish"
    sleep 5
  done
}

echo "installing: ${missing[*]}"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
