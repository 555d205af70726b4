#!/usr/bin/env bash
# test-web.sh: the browser build's tests. The unit tests of the report's arithmetic and of the
# timers on the virtual clock run as wasm under Node.js; then the page, the one file opened from
# the disk (and, in Chromium, served on 127.0.0.1), runs in a headless Chromium driven through the
# DevTools protocol and in Firefox ESR driven through WebDriver BiDi on a private Xvfb
# (tests/web_page_test.py), checked against the desktop tests' expectations and footprint
# geometry (the native web_page_check), and by axe-core.
#
# The random-input test of the page, a few minutes long, is not part of it: see
# tests/web_page_random_test.py.
#
# Usage: scripts/test-web.sh [NATIVE_BUILD_DIR]   (default build/release; web_page_check is built
# there if it is missing)
set -euo pipefail
cd "$(dirname "$0")/.."
native_dir=${1:-build/release}

scripts/build-web.sh --with-tests
ctest --test-dir build/web-cmake -j2 --output-on-failure

if [ ! -f "$native_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$native_dir" -DCMAKE_BUILD_TYPE=Release -DSAMPLE_DRAWING_TESTS=ON >/dev/null
fi
cmake --build "$native_dir" --target web_page_check -j2 >/dev/null
# Debian's Python, which has python3-websocket.
timeout 300 /usr/bin/python3 tests/web_page_test.py build/web "$native_dir/tests/web_page_check"
