#!/usr/bin/env bash
# Many kernels against one store. For N = 1, 2, 4 and 8, N kernel processes
# calculate at the same time, each its own copy of the converged
# demonstration case, over and over for a fixed time; the benchmark reports
# calculates per minute and the gain over one kernel, on PostgreSQL and on
# SQLite in one run, and then one kernel's "calculate" time on each.
#
#   bench/concurrency_benchmark.sh [SECONDS]   SECONDS per measurement (20)
#
# The kernel is KERNEL, by default build/release/subprojects/user/kernel
# (scripts/run.sh builds it). The stores are private ones made by
# scripts/test-databases.sh for this run and removed at its end (PostgreSQL
# only where it is installed); the user's data source is never touched.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
kernel="${KERNEL:-$root/build/release/subprojects/user/kernel}"
seconds="${1:-20}"
counts=(1 2 4 8)
copies=8
[ -x "$kernel" ] || { echo "no kernel at $kernel" >&2; exit 1; }

db=$("$root/scripts/test-databases.sh" start)
work=$(mktemp -d "${TMPDIR:-/tmp}/velta-concurrency.XXXXXX")
trap '"$root/scripts/test-databases.sh" stop "$db" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
# shellcheck disable=SC1091
. "$db/env"

now() { date +%s.%N; }

# Runs the kernel in a folder whose odbc.ini names the store as "persistency";
# prints its standard output.
kernel_in() {
  local folder=$1
  shift
  (cd "$folder" && ODBCINI="$folder/odbc.ini" "$kernel" "$@")
}

# Copies the section of a data source from the test odbc.ini as "persistency".
ini_for() {
  local dsn=$1
  echo "[persistency]"
  sed -n "/^\[$dsn\]/,/^\[/p" "$ODBCINI" | sed '1d;/^\[/d'
}

# Makes the store's cases: one case created and calculated, then copied, and
# every copy calculated once so that each starts converged. Prints the ids.
prepare() {
  local store=$1 first id
  first=$(kernel_in "$work/$store" new | tail -n 1)
  kernel_in "$work/$store" calculate "$first" >/dev/null
  for ((k = 1; k <= copies; k++)); do
    id=$(kernel_in "$work/$store" duplicate "$first" "Copy$k" | tail -n 1)
    mkdir -p "$work/$store/k$k"
    cp "$work/$store/odbc.ini" "$work/$store/k$k/"
    kernel_in "$work/$store/k$k" calculate "$id" >/dev/null
    echo "$id"
  done
}

# One kernel's loop: calculates its case until the time is up, then writes
# how many calculates ended well.
worker() {
  local folder=$1 id=$2 until=$3 done=0
  while (($(echo "$(now) < $until" | bc))); do
    if kernel_in "$folder" calculate "$id" >/dev/null 2>&1 || [ $? -eq $((id % 256)) ]; then
      done=$((done + 1))
    fi
  done
  echo "$done" >"$folder/count"
}

# Calculates per minute of n kernels at once.
rate() {
  local store=$1 n=$2 start until total=0 elapsed k
  shift 2
  local ids=("$@")
  start=$(now)
  until=$(echo "$start + $seconds" | bc)
  for ((k = 1; k <= n; k++)); do
    worker "$work/$store/k$k" "${ids[$((k - 1))]}" "$until" &
  done
  wait
  elapsed=$(echo "$(now) - $start" | bc)
  for ((k = 1; k <= n; k++)); do
    total=$((total + $(cat "$work/$store/k$k/count")))
  done
  echo "$total * 60 / $elapsed" | bc -l
}

# Median wall time in ms of one kernel's calculate.
single() {
  local store=$1 id=$2 t0 times=()
  for ((r = 0; r < 9; r++)); do
    t0=$(now)
    kernel_in "$work/$store/k1" calculate "$id" >/dev/null 2>&1 || true
    times+=("$(echo "($(now) - $t0) * 1000" | bc)")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n 5p
}

stores=(sqlite)
mkdir -p "$work/sqlite"
ini_for "$VELTA_TEST_SQLITE_DSN" >"$work/sqlite/odbc.ini"
if [ -n "${VELTA_TEST_POSTGRESQL_DSN:-}" ]; then
  stores=(postgresql sqlite)
  mkdir -p "$work/postgresql"
  ini_for "$VELTA_TEST_POSTGRESQL_DSN" >"$work/postgresql/odbc.ini"
else
  echo "PostgreSQL is not installed: SQLite only" >&2
fi

echo "concurrency benchmark: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start, ${seconds} s per measurement"
declare -A single_ms
for store in "${stores[@]}"; do
  mapfile -t ids < <(prepare "$store")
  one=""
  for n in "${counts[@]}"; do
    r=$(rate "$store" "$n" "${ids[@]}")
    [ -z "$one" ] && one=$r
    printf '%-10s %d kernel(s): %7.1f calculates/min  (%.2fx one kernel)\n' "$store" "$n" "$r" \
      "$(echo "$r / $one" | bc -l)"
  done
  single_ms[$store]=$(single "$store" "${ids[0]}")
done
for store in "${stores[@]}"; do
  printf 'one calculate of the converged case, %-10s %7.1f ms (median of 9)\n' "$store" \
    "${single_ms[$store]}"
done
if [ -n "${single_ms[postgresql]:-}" ]; then
  printf 'PostgreSQL / SQLite: %.2f\n' "$(echo "${single_ms[postgresql]} / ${single_ms[sqlite]}" | bc -l)"
fi
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
