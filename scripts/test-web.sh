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
# web_page_check is built in the release build, build/release.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-web.sh --with-tests
ctest --preset web

[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release --target web_page_check >/dev/null
# Debian's Python, which has python3-websocket.
timeout 300 /usr/bin/python3 tests/web_page_test.py build/web build/release/tests/web_page_check
