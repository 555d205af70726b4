#!/usr/bin/env bash
# test.sh: installs what is missing, builds, and runs every test (unit, render, end-to-end).
#
# Stages: formatting and lint; the unit and render tests under AddressSanitizer and
# UndefinedBehaviorSanitizer; the run's link fed arbitrary bytes under libFuzzer; the unit tests
# built by g++ and clang++ at several optimisation levels, since the printed numbers must not
# change; the unit tests under valgrind memcheck; the Debian package, its launcher and its manual
# page held to lintian and the desktop tools; the Windows build, cross-built and run under Wine;
# the browser build, its unit tests under Node.js and its page in a headless Chromium and in
# Firefox ESR; then the whole suite on the release build but the ten-minute soak, whose summary
# closes the run. Each build is a preset of CMakePresets.json; run the soak with
# `ctest --preset soak`.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo test windows web
cmake --preset release >/dev/null

echo "=== Format and lint ==="
mapfile -t sources < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' 2>/dev/null ||
                       find src tests bench -name '*.cpp' -o -name '*.h' 2>/dev/null)
# Called by version, the one that Debian 12 and 13 both ship (scripts/install-deps.sh), since
# each version formats and lints a little differently.
clang-format-19 --dry-run -Werror "${sources[@]}"
# Other platforms' files (*_windows.cpp, *_web.cpp) are compiled by their cross-compilers only,
# so they have no place in the release build's compilation database.
if ! tidy_report=$(clang-tidy-19 -p build/release --quiet \
                   $(find src -name '*.cpp' ! -name '*_windows.cpp' ! -name '*_web.cpp' | sort) 2>&1); then
  grep -v 'warnings generated' <<<"$tidy_report" >&2
  exit 1
fi
echo "clang-format-19 and clang-tidy-19: clean"

echo "=== Sanitizers: unit and render tests ==="
cmake --workflow --preset asan

echo "=== Fuzzing: the run's link, 30 s ==="
cmake --workflow --preset fuzz

echo "=== Exactness: other compilers and optimisation levels ==="
scripts/check-exactness.sh

echo "=== Release build: the unit tests under valgrind memcheck ==="
cmake --build --preset release
# CTest's memcheck takes no test preset; valgrind's options are set in CMakeLists.txt.
ctest --test-dir build/release -T memcheck -L memcheck --output-on-failure

echo "=== Release build: the package, its launcher and manual page ==="
ctest --preset package

echo "=== Windows build: cross-built unit tests and the exe under Wine ==="
scripts/test-windows.sh

echo "=== Browser build: unit tests under Node.js, the page in Chromium and Firefox ESR ==="
scripts/test-web.sh

echo "=== Release build: every test but the soak ==="
ctest --preset release
