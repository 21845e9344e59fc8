#!/usr/bin/env bash
# Builds and installs the PostgreSQL extension (postgres/), starts a throwaway
# cluster in a temporary directory (Unix socket only, no TCP port), runs the
# regression tests of postgres/test with pg_regress, and removes the cluster
# again, whether the tests pass or not.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++ make postgresql-15 postgresql-server-dev-15
PG_BIN=/usr/lib/postgresql/15/bin
export PG_CONFIG=$PG_BIN/pg_config

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
make -s -C postgres -j"$(nproc)"
$SUDO make -s -C postgres install PG_CONFIG="$PG_CONFIG"

# initdb refuses to run as root: the cluster belongs to the postgres user.
as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi
}
tmp=$(mktemp -d /tmp/mensora-pg.XXXXXX)
cleanup() {
  as_postgres "$PG_BIN/pg_ctl" -D "$tmp/data" stop -m immediate >/dev/null 2>&1 || true
  $SUDO rm -rf "$tmp"
}
trap cleanup EXIT
cp -r postgres/test "$tmp/test"
cp examples/us_states_1977.csv examples/new_york_air_quality_1973.csv "$tmp/test/data/"
$SUDO chown -R postgres "$tmp"
as_postgres "$PG_BIN/initdb" -D "$tmp/data" -U postgres --auth=trust --no-sync >/dev/null
as_postgres "$PG_BIN/pg_ctl" -D "$tmp/data" -l "$tmp/server.log" -w start \
  -o "-c listen_addresses='' -k $tmp -c fsync=off -c max_parallel_workers_per_gather=2" >/dev/null

tests=$(cd postgres/test/sql && ls *.sql | sed 's/\.sql$//')
# shellcheck disable=SC2086  # one word per test
if ! as_postgres "$($PG_CONFIG --pgxs | xargs dirname)/../test/regress/pg_regress" \
  --inputdir="$tmp/test" --outputdir="$tmp/out" --host="$tmp" --port=5432 \
  --load-extension=mensora --dbname=mensora_regress $tests; then
  cat "$tmp/out/regression.diffs" >&2 || true
  # The results stay in postgres/results for a look (and for new expected files).
  rm -rf postgres/results && cp -r "$tmp/out/results" postgres/results || true
  exit 1
fi
