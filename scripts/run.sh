#!/usr/bin/env bash
# Installs the dependencies, builds the kernel (Release, fatal assertions are
# always active) with its benchmarks, and runs it on the data source
# "persistency" (by default the SQLite store that install-deps.sh set up).
#
#   scripts/run.sh              the main job: creates a small demonstration
#                               case, calculates it, exports it as text and
#                               prints its id and the files written (in
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

# The demonstration case: its type and its case descriptor (quantities in SI
# units). Steam at 400 K and 1 bar, 0.1 kmol/s of water (component 0) alone,
# by IAPWS-95; its calculation flashes it at the given T and P.
demo_type='StreamIapwsVapor'
demo_tag='Steam'
demo_description='Demonstration case: steam at 400 K and 1 bar'
demo_descriptor='{"quantities":{"T":400,"P":100000,"Tphase.ndot":0.1,"Tphase.x[0]":1,"Tphase.x[1]":0,"Tphase.x[2]":0,"Tphase.x[3]":0,"Tphase.x[4]":0,"Tphase.x[5]":0,"Tphase.x[6]":0,"Tphase.x[7]":0,"Tphase.x[8]":0,"Tphase.x[9]":0,"Tphase.x[10]":0}}'

demo_dir="$root_dir/build/release/demo"
rm -rf "$demo_dir"
mkdir -p "$demo_dir"
cd "$demo_dir"

# On success the kernel exits with 0 and writes the case's id as the last
# line of its standard output.
run_kernel() {
  local output
  if ! output=$("$kernel" "$@"); then
    printf '%s\n' "$output"
    echo "run.sh: kernel $1 failed" >&2
    exit 1
  fi
  printf '%s\n' "$output"
  last_line=$(printf '%s\n' "$output" | tail -n 1)
}
run_kernel new "$demo_type" "$demo_tag" "$demo_description" "$demo_descriptor"
id=$last_line
run_kernel calculate "$id"
run_kernel txt "$id"

echo
echo "Case $id ($demo_type) created, calculated and exported; files written in $demo_dir:"
ls -1 "$demo_dir" | sed 's/^/  /'
