#!/usr/bin/env bash
# Installs the dependencies, builds the kernel (Release, fatal assertions are
# always active) with its benchmarks, and runs it on the data source
# "persistency" (by default the SQLite store that install-deps.sh set up).
#
#   scripts/run.sh              the main job: creates the kernel's default
#                               case (the Inorganic demonstration process),
#                               calculates it, exports it as text and as
#                               content.xml, and prints its id, the error and
#                               warning counts and the files written (in
#                               build/release/demo)
#   scripts/run.sh VERB ARGS    runs the kernel with these arguments in the
#                               current directory, e.g. scripts/run.sh types
set -euo pipefail
start_dir="$(pwd)"
cd "$(dirname "$0")/.."
root_dir="$(pwd)"
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTA_TESTS=OFF -DVELTA_BENCHMARKS=ON
cmake --build build/release
kernel="$root_dir/build/release/subprojects/user/kernel"

if [ $# -gt 0 ]; then
  cd "$start_dir"
  exec "$kernel" "$@"
fi

demo_dir="$root_dir/build/release/demo"
rm -rf "$demo_dir"
mkdir -p "$demo_dir"
cd "$demo_dir"

# "new" without a type creates the default case; on success the kernel
# writes the case's id as the last line of its standard output.
if ! new_output=$("$kernel" new); then
  printf '%s\n' "$new_output"
  echo "run.sh: kernel new failed" >&2
  exit 1
fi
printf '%s\n' "$new_output"
id=$(printf '%s\n' "$new_output" | tail -n 1)

# A calculation that ends with errors still stores its results and writes
# content.xml; its counts are reported either way.
calculate_status=0
calculate_output=$("$kernel" calculate "$id") || calculate_status=$?
printf '%s\n' "$calculate_output"
counts=$(printf '%s\n' "$calculate_output" |
  sed -n 's/.*Computation complete with \([0-9]*\) errors and \([0-9]*\) warnings.*/\1 \2/p' |
  tail -n 1)
errors=${counts% *}
warnings=${counts#* }

"$kernel" txt "$id" >/dev/null

echo
echo "Case $id (Inorganic) created, calculated (exit status $calculate_status) and exported"
echo "Errors: ${errors:-unknown}, warnings: ${warnings:-unknown}"
echo "Files written in $demo_dir:"
ls -1 "$demo_dir" | grep -v '\.svg$' | sed 's/^/  /'
echo "  and $(ls -1 "$demo_dir" | grep -c '\.svg$') drawings (<id>.svg)"
