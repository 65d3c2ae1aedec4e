#!/usr/bin/env bash
# Private databases for the persistency tests, so that no test ever touches the
# user's own data source "persistency".
#
#   scripts/test-databases.sh start   prints the folder it prepared
#   scripts/test-databases.sh stop DIR
#
# "start" makes a temporary folder with
#   - test.sqlite     an SQLite database holding the schema,
#   - pg/             a PostgreSQL cluster (when PostgreSQL is installed) that
#                     runs on a loopback port, with the database velta_test
#                     holding the schema and owned by the login zq/zq,
#   - odbcinst.ini, odbc.ini
#                     the drivers and the data sources velta_sqlite and
#                     velta_postgresql (odbc.ini serves as both the user's
#                     and the system's list of data sources),
#   - env             the variables that point the tests at them:
#                     ODBCSYSINI, ODBCINI, VELTA_TEST_SQLITE_DSN and
#                     VELTA_TEST_POSTGRESQL_DSN (the latter only with a server).
# "stop" stops the server and removes the folder.
#
# The server never runs as root: when invoked as root it runs as the system
# user "postgres". VELTA_TEST_PG_PORT chooses the first port tried (55432).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
sql_dir="$here/../subprojects/persistency/sql"

log() { echo "test-databases: $*" >&2; }

pg_bin_dir() {
  local d
  d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
  if [ -n "$d" ] && [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ]; then
    echo "$d"
  fi
}

# Runs a command as the owner of the cluster.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

start() {
  local dir
  # As root the server runs as "postgres", which must reach the folder: /tmp
  # rather than a private TMPDIR.
  local parent="${TMPDIR:-/tmp}"
  [ "$(id -u)" -eq 0 ] && parent=/tmp
  dir=$(mktemp -d "$parent/velta-test-db.XXXXXX")
  chmod 755 "$dir"

  # Drivers: the system's list, so that "SQLite3" and "PostgreSQL Unicode"
  # resolve as they do for the user.
  if [ -f /etc/odbcinst.ini ]; then
    cp /etc/odbcinst.ini "$dir/odbcinst.ini"
  else
    : >"$dir/odbcinst.ini"
  fi

  sqlite3 "$dir/test.sqlite" <"$sql_dir/schema-sqlite.sql" >/dev/null
  cat >"$dir/odbc.ini" <<EOF
[velta_sqlite]
Description=Velta test store (SQLite)
Driver=SQLite3
Database=$dir/test.sqlite
Timeout=60000
EOF

  local bin port=""
  bin=$(pg_bin_dir)
  if [ -n "$bin" ] && { [ "$(id -u)" -ne 0 ] || getent passwd postgres >/dev/null; }; then
    mkdir -p "$dir/pg" "$dir/socket"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/pg" "$dir/socket"
    as_owner "$bin/initdb" -D "$dir/pg/data" -U postgres --auth-local=trust \
      --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
      { log "initdb failed:"; cat "$dir/initdb.log" >&2; rm -rf "$dir"; exit 1; }
    local try
    port=${VELTA_TEST_PG_PORT:-55432}
    for try in 1 2 3 4 5 6 7 8 9 10; do
      if as_owner "$bin/pg_ctl" -D "$dir/pg/data" -l "$dir/pg/server.log" -w -t 60 start \
        -o "-p $port -k $dir/socket -c listen_addresses=127.0.0.1 -c fsync=off" >/dev/null 2>&1; then
        break
      fi
      log "port $port not usable, trying the next one"
      port=$((port + 1))
      [ "$try" = 10 ] && { log "PostgreSQL did not start:"; cat "$dir/pg/server.log" >&2; port=""; }
    done
  else
    log "PostgreSQL is not installed; only the SQLite store is prepared"
  fi

  if [ -n "$port" ]; then
    echo "$port" >"$dir/pg/port"
    local psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir/socket" -p "$port")
    as_owner "${psql[@]}" -U postgres -d postgres \
      -c "CREATE ROLE zq LOGIN PASSWORD 'zq'" -c "CREATE DATABASE velta_test OWNER zq" >/dev/null
    as_owner "${psql[@]}" -U zq -d velta_test <"$sql_dir/schema-postgresql.sql" >/dev/null
    # Protocol=7.4-1: a failed statement rolls back the whole transaction
    # (as the store does anyway) instead of the driver wrapping every
    # statement in a savepoint of its own, two more round trips each.
    cat >>"$dir/odbc.ini" <<EOF

[velta_postgresql]
Description=Velta test store (PostgreSQL)
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=velta_test
Username=zq
Password=zq
ConnSettings=SET client_encoding TO 'UTF8'
Protocol=7.4-1
EOF
  fi

  {
    echo "export ODBCSYSINI='$dir'"
    echo "export ODBCINI='$dir/odbc.ini'"
    echo "export VELTA_TEST_SQLITE_DSN=velta_sqlite"
    if [ -n "$port" ]; then
      echo "export VELTA_TEST_POSTGRESQL_DSN=velta_postgresql"
    else
      echo "unset VELTA_TEST_POSTGRESQL_DSN"
    fi
  } >"$dir/env"
  echo "$dir"
}

stop() {
  local dir=$1
  [ -n "$dir" ] && [ -d "$dir" ] || return 0
  case "$dir" in */velta-test-db.*) ;; *) log "refusing to remove $dir"; return 1 ;; esac
  if [ -f "$dir/pg/port" ]; then
    local bin
    bin=$(pg_bin_dir)
    as_owner "$bin/pg_ctl" -D "$dir/pg/data" -m fast -w stop >/dev/null 2>&1 ||
      log "PostgreSQL in $dir did not stop cleanly"
  fi
  rm -rf "$dir"
}

case "${1:-}" in
  start) start ;;
  stop) stop "${2:-}" ;;
  *) echo "usage: $0 start | stop DIR" >&2; exit 2 ;;
esac
