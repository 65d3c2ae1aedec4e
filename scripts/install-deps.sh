#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build and test the kernel.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libboost-graph-dev
  libjsoncpp-dev libsuitesparse-dev libmxml-dev
  unixodbc unixodbc-dev libsqliteodbc sqlite3
  libxml2-utils w3c-sgml-lib chromium-headless-shell   # drawings: DTD validation, browser render
  libsqlite3-dev libpq-dev   # the persistency benchmark's reference (raw sqlite3 and libpq)
)
if [ "${VELTA_WITH_POSTGRES:-0}" = 1 ]; then
  packages+=(postgresql odbc-postgresql)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The default data source "persistency": an SQLite database in the user's
# data folder (~/.local/share/velta/persistency.sqlite), made with the schema
# when it is absent, and registered in the user's ~/.odbc.ini unless that already names a data source "persistency"
# (for instance one on PostgreSQL, see README.md). Run again, this changes
# nothing.
root_dir="$(cd "$(dirname "$0")/.." && pwd)"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
# The drivers' packages register them; make sure of the two names used.
register_driver() { # name, driver library
  if ! odbcinst -q -d -n "$1" >/dev/null 2>&1; then
    local template
    template=$(mktemp)
    printf '[%s]\nDescription=%s\nDriver=%s\n' "$1" "$1" "$2" >"$template"
    $sudo_cmd odbcinst -i -d -f "$template" >/dev/null
    rm -f "$template"
  fi
}
register_driver SQLite3 libsqlite3odbc.so
if [ "${VELTA_WITH_POSTGRES:-0}" = 1 ]; then
  register_driver "PostgreSQL Unicode" psqlodbcw.so
fi
if [ -n "${HOME:-}" ]; then
  data_dir="$HOME/.local/share/velta"
  database="$data_dir/persistency.sqlite"
  if [ ! -f "$database" ]; then
    mkdir -p "$data_dir"
    sqlite3 "$database.new" <"$root_dir/subprojects/persistency/sql/schema-sqlite.sql" >/dev/null
    mv "$database.new" "$database"
    echo "Created the case store $database"
  fi
  # The driver manager's own idea of the user's list (ODBCINI, else the home
  # folder of the account).
  user_ini=$(odbcinst -j 2>/dev/null | sed -n 's/^USER DATA SOURCES\.*: *//p')
  [ -n "$user_ini" ] || user_ini="$HOME/.odbc.ini"
  if ! grep -qis '^[[:space:]]*\[persistency\]' "$user_ini"; then
    [ -s "$user_ini" ] && echo >>"$user_ini"
    cat >>"$user_ini" <<INI
[persistency]
Description=Velta case store
Driver=SQLite3
Database=$database
Timeout=60000
INI
    echo "Registered the data source \"persistency\" in $user_ini"
  fi
fi
