#!/usr/bin/env bash
# test-windows.sh: the Windows build's tests: `ctest --preset windows`, the exe's resources and the
# cross-built unit tests under Wine (its emulator, scripts/lib/wine-run.sh); then the real exe
# driven under Wine on a private X server by the native harness (wine_e2e_tests). Builds what it
# needs (scripts/build-windows.sh --tests, and the harness in build/release).
#
# The harness runs the exe in a Wine prefix of this run's own (scripts/lib/wine-prefix.sh) and in
# a copy of it set to 144 dpi (150%). Every Wine process runs under timeout; at the end only these
# prefixes' wineservers are stopped.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-windows.sh --tests
ctest --preset windows
cmake --preset release >/dev/null
cmake --build --preset release --target wine_e2e_tests >/dev/null

source scripts/lib/private-xvfb.sh
source scripts/lib/wine-prefix.sh
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/sample-drawing-wine.XXXXXX")
WINEPREFIX_144DPI=$(mktemp -d "${TMPDIR:-/tmp}/sample-drawing-wine-144dpi.XXXXXX")
export WINEPREFIX WINEPREFIX_144DPI
extra_cleanup() {
  stop_wine_prefix "$WINEPREFIX"
  stop_wine_prefix "$WINEPREFIX_144DPI"
  rm -rf "$WINEPREFIX" "$WINEPREFIX_144DPI"
}
start_private_xvfb
export DISPLAY=$display
make_wine_prefix "$WINEPREFIX"
# The copy at 144 dpi, made once the first prefix's server has saved its registry and ended.
cp -a "$WINEPREFIX/." "$WINEPREFIX_144DPI"
WINEPREFIX=$WINEPREFIX_144DPI timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' \
  /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
WINEPREFIX=$WINEPREFIX_144DPI timeout 30 wineserver -w

echo "the exe under Wine, by the X harness:"
# The harness starts an X server of its own; Wine's processes from the set-up are stopped first.
stop_wine_prefix "$WINEPREFIX"
stop_wine_prefix "$WINEPREFIX_144DPI"
unset DISPLAY
SAMPLE_DRAWING_EXE=$PWD/build/windows/sample-drawing.exe \
  timeout 300 build/release/tests/wine_e2e_tests --gtest_brief=1
