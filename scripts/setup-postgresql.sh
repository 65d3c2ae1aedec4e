#!/usr/bin/env bash
# Prepares a PostgreSQL database as the case store: the login role "zq" with
# password "zq" (the kernel's fixed login), a database owned by it, and the
# tables of subprojects/persistency/sql/schema-postgresql.sql. Run again, it
# changes nothing.
#
#   scripts/setup-postgresql.sh [--database NAME] [--host HOST] [--port PORT] [--use]
#
#   --database NAME  the database to prepare (default: velta)
#   --host HOST      the server (default: the local server's socket; the data
#                    source then reaches it at localhost)
#   --port PORT      the server's port (default: 5432)
#   --use            also point the user's data source "persistency" (in
#                    ~/.odbc.ini) at this database; the first run that
#                    changes the file keeps the original as ~/.odbc.ini.bak
#                    (never overwritten), and a run that finds the entry
#                    already in place changes nothing
#
# Without --host, a local cluster that is installed but not running is
# started first (pg_ctlcluster of Debian's postgresql-common).
#
# The administrative steps run psql as the server's superuser "postgres":
# through runuser when invoked as root, else through sudo. With PGUSER set,
# psql runs as yourself with that role instead (it must be allowed to create
# roles and databases; PGPASSWORD or ~/.pgpass supply its password).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
schema="$here/../subprojects/persistency/sql/schema-postgresql.sql"
database=velta
host=""
port=5432
use=0
while [ $# -gt 0 ]; do
  case "$1" in
    --database) database=$2; shift 2 ;;
    --host) host=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --use) use=1; shift ;;
    -h | --help) awk 'NR > 1 && /^#/ { print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
case "$database" in
  *[!A-Za-z0-9_]* | "") echo "database names are letters, digits and underscores" >&2; exit 2 ;;
esac

psql_admin() {
  local args=(-X -q -v ON_ERROR_STOP=1 -p "$port")
  [ -n "$host" ] && args+=(-h "$host")
  if [ -n "${PGUSER:-}" ]; then
    psql "${args[@]}" "$@"
  elif [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- psql "${args[@]}" "$@"
  else
    sudo -u postgres psql "${args[@]}" "$@"
  fi
}

# The local cluster on this port, started when it is installed but down.
start_local_cluster() {
  [ -z "$host" ] || return 0
  command -v pg_lsclusters >/dev/null 2>&1 || return 0
  local version name status
  read -r version name status < <(pg_lsclusters -h 2>/dev/null |
    awk -v port="$port" '$3 == port { print $1, $2, $4; exit }') || true
  [ -n "${version:-}" ] || return 0
  case "$status" in
    online*) return 0 ;;
  esac
  echo "Starting the local PostgreSQL cluster $version/$name (port $port)"
  if [ "$(id -u)" -eq 0 ]; then
    pg_ctlcluster "$version" "$name" start
  else
    sudo pg_ctlcluster "$version" "$name" start
  fi
}
start_local_cluster

echo "Preparing the role zq and the database $database"
psql_admin -d postgres <<SQL
DO \$\$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zq') THEN
    CREATE ROLE zq LOGIN PASSWORD 'zq';
  ELSE
    ALTER ROLE zq LOGIN PASSWORD 'zq';
  END IF;
END
\$\$;
SQL
if [ -z "$(psql_admin -d postgres -tA -c "SELECT 1 FROM pg_database WHERE datname = '$database'")" ]; then
  psql_admin -d postgres -c "CREATE DATABASE $database OWNER zq"
fi
# The tables belong to zq, which the kernel logs in as.
{ echo "SET client_min_messages = warning; SET ROLE zq;"; cat "$schema"; } | psql_admin -d "$database"
echo "The database $database holds the tables of the case store"

if [ "$use" = 1 ]; then
  # The driver manager's list of the user's data sources (ODBCINI, else
  # ~/.odbc.ini of the account).
  ini=$(odbcinst -j 2>/dev/null | sed -n 's/^USER DATA SOURCES\.*: *//p')
  [ -n "$ini" ] || ini="$HOME/.odbc.ini"
  # Protocol=7.4-1: a failed statement rolls back the whole transaction (as
  # the kernel does anyway) instead of the driver wrapping every statement
  # in a savepoint of its own, two more round trips each.
  section="[persistency]
Description=Velta case store on PostgreSQL
Driver=PostgreSQL Unicode
Servername=${host:-localhost}
Port=$port
Database=$database
Username=zq
Password=zq
ConnSettings=SET client_encoding TO 'UTF8'
Protocol=7.4-1"
  # The file without its [persistency] section and without trailing blank
  # lines, then one blank line and the new section.
  others=""
  if [ -f "$ini" ]; then
    others=$(awk 'BEGIN { skip = 0 }
                  /^[[:space:]]*\[/ { skip = (tolower($0) ~ /^[[:space:]]*\[persistency\]/) }
                  !skip { print }' "$ini" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}')
  fi
  if [ -n "$others" ]; then
    wanted="$others

$section"
  else
    wanted="$section"
  fi
  if [ -f "$ini" ] && [ "$(cat "$ini")" = "$wanted" ]; then
    echo "The data source \"persistency\" in $ini already names $database"
  else
    if [ -f "$ini" ] && [ ! -e "$ini.bak" ]; then
      cp "$ini" "$ini.bak"
    fi
    printf '%s\n' "$wanted" >"$ini"
    echo "The data source \"persistency\" in $ini now names $database"
    [ -e "$ini.bak" ] && echo "The file before the first change is $ini.bak"
  fi
fi
