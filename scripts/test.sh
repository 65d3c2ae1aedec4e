#!/usr/bin/env bash
# Installs the dependencies (with PostgreSQL for the persistency tests),
# builds every test with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs them all through CTest against private test databases: an SQLite file
# and a PostgreSQL server on a loopback port, both made for this run and
# removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir="$(pwd)"
VELTA_WITH_POSTGRES=1 ./scripts/install-deps.sh
# -O1 keeps the instrumented build quick to compile on small machines.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
  -DVELTA_SANITIZE=ON -DVELTA_TESTS=ON
cmake --build build/test

db_dir=""
example_dir=""
stop_databases() {
  if [ -n "$db_dir" ]; then
    "$root_dir/scripts/test-databases.sh" stop "$db_dir" || true
    db_dir=""
  fi
  if [ -n "$example_dir" ]; then
    rm -rf "$example_dir"
    example_dir=""
  fi
}
trap stop_databases EXIT
trap 'exit 130' INT TERM
db_dir=$("$root_dir/scripts/test-databases.sh" start)
# shellcheck disable=SC1091
. "$db_dir/env"

# Sanitizer settings of every test process; leaks inside the ODBC driver
# manager and drivers are suppressed, our own code is checked in full.
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root_dir/.ci/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

cd build/test
ctest --output-on-failure -j"$(nproc)"

# The worked example, built as a project outside the tree builds it: against
# the package installed into a temporary prefix (nothing is rebuilt), run on
# the SQLite test store. Both its mass balances (solved, and recalculated
# after the reload) must close. The sanitizers' runtime and the ODBC
# installer library are preloaded as for the kernel in the tests: the
# drivers unload the latter, and the leak checker could not name its leaks.
cd "$root_dir"
example_dir=$(mktemp -d "${TMPDIR:-/tmp}/velta-example.XXXXXX")
cmake --install build/test --prefix "$example_dir/prefix" >/dev/null
cmake -S examples -B "$example_dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$example_dir/prefix" >/dev/null
cmake --build "$example_dir/build"
(cd "$example_dir" &&
  LD_PRELOAD="$(c++ -print-file-name=libasan.so) libodbcinst.so.2" \
    "$example_dir/build/flash_recycle" "$VELTA_TEST_SQLITE_DSN") | tee "$example_dir/out"
awk '/^mass balance/ { n++; d = $5 - $8; if (d < 0) d = -d; if (d > 1e-8 * $5) bad = 1 }
     END { exit !(n == 2 && !bad) }' "$example_dir/out" ||
  { echo "test.sh: the example's mass balance does not close" >&2; exit 1; }
