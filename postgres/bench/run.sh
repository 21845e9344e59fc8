#!/usr/bin/env bash
# The figures of the PostgreSQL extension, in a throwaway cluster (Unix
# socket only) that is removed afterwards:
#   postgres/bench/run.sh bench   the ratios of bench.sql (10^7 rows)
#   postgres/bench/run.sh load    8 sessions of pgbench for 30 s on 10^6 rows,
#                                 with the backends' memory every 5 s
# The extension must be installed (scripts/test-postgres.sh does it).
set -euo pipefail
cd "$(dirname "$0")"
what=${1:-bench}
PG_BIN=/usr/lib/postgresql/15/bin
as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi
}
tmp=$(mktemp -d /tmp/mensora-bench.XXXXXX)
cleanup() {
  as_postgres "$PG_BIN/pg_ctl" -D "$tmp/data" stop -m fast >/dev/null 2>&1 || true
  rm -rf "$tmp" 2>/dev/null || sudo rm -rf "$tmp"
}
trap cleanup EXIT
cp bench.sql load.pgbench "$tmp/"
chmod 755 "$tmp"
[ "$(id -u)" -eq 0 ] && chown -R postgres "$tmp" || sudo chown -R postgres "$tmp"
as_postgres "$PG_BIN/initdb" -D "$tmp/data" -U postgres --auth=trust --no-sync >/dev/null
as_postgres "$PG_BIN/pg_ctl" -D "$tmp/data" -l "$tmp/server.log" -w start -o \
  "-c listen_addresses='' -k $tmp -c shared_buffers=1GB -c max_parallel_workers_per_gather=2" \
  >/dev/null
psql() { as_postgres "$PG_BIN/psql" -X -q -h "$tmp" -d postgres "$@"; }

case $what in
  bench)
    psql -f "$tmp/bench.sql"
    ;;
  load)
    psql -c "CREATE EXTENSION mensora" -c "SELECT setseed(0.5)" \
      -c "CREATE TABLE load AS SELECT i % 100 AS g, random() * 1000 AS v
            FROM generate_series(1, 1000000) i" -c "VACUUM ANALYZE load"
    # The private memory of the server's processes (shared buffers aside).
    private_memory() {
      for pid in $(ps -o pid= --ppid "$(head -1 "$tmp/data/postmaster.pid")"); do
        awk '/^RssAnon/ {print $2}' "/proc/$pid/status" 2>/dev/null || true
      done | awk '{s += $1} END {print s}'
    }
    ( for t in 5 10 15 20 25 30; do
        sleep 5; echo "after ${t}s: private memory of the server's processes $(private_memory) kB"
      done ) &
    as_postgres "$PG_BIN/pgbench" -n -h "$tmp" -c 8 -j 2 -T 30 -f "$tmp/load.pgbench" postgres
    wait
    ;;
  *) echo "usage: $0 bench|load" >&2; exit 2 ;;
esac
