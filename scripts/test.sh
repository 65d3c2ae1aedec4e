#!/usr/bin/env bash
# Installs the dependencies, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them all through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTA_SANITIZE=ON -DVELTA_TESTS=ON
cmake --build build/test
cd build/test
ctest --output-on-failure -j"$(nproc)"
