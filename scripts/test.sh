#!/usr/bin/env bash
# test.sh: installs what is missing, builds, and runs every test (unit, render, end-to-end).
#
# Three stages: the unit and render tests under AddressSanitizer and UndefinedBehaviorSanitizer;
# the exactness of the printed numbers under other compilers and optimisation levels; then the
# whole suite on the release build, whose summary closes the run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "=== Sanitizers: unit and render tests ==="
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DSAMPLE_DRAWING_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan -L 'unit|render' -j2 --output-on-failure

echo "=== Release build: every test ==="
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$jobs"
ctest --test-dir build/release -j2 --output-on-failure
