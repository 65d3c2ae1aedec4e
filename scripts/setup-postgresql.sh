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
#                    ~/.odbc.ini) at this database; the file is kept as
#                    ~/.odbc.ini.bak first
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
  [ -f "$ini" ] && cp "$ini" "$ini.bak"
  # Drop an earlier [persistency] section, then add the new one.
  if [ -f "$ini" ]; then
    awk 'BEGIN { skip = 0 }
         /^[[:space:]]*\[/ { skip = (tolower($0) ~ /^[[:space:]]*\[persistency\]/) }
         !skip { print }' "$ini.bak" >"$ini"
  fi
  cat >>"$ini" <<INI

[persistency]
Description=Velta case store on PostgreSQL
Driver=PostgreSQL Unicode
Servername=${host:-localhost}
Port=$port
Database=$database
Username=zq
Password=zq
ConnSettings=SET client_encoding TO 'UTF8'
INI
  echo "The data source \"persistency\" in $ini now names $database (the old file is $ini.bak)"
fi
