#!/usr/bin/env bash
# Installs the dependencies, builds the kernel (Release, fatal assertions are
# always active) with its benchmarks, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTA_TESTS=OFF -DVELTA_BENCHMARKS=ON
cmake --build build/release
if [ -x build/release/subprojects/user/kernel ]; then
  build/release/subprojects/user/kernel "$@"
else
  echo "Built. The command-line kernel is not part of this build yet."
fi
