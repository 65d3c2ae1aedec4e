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
  libxml2-utils
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
