#!/usr/bin/env bash
# test-windows.sh: the Windows build's tests: the exe's resources, then under Wine the
# cross-built unit tests and the real exe driven on a private X server by the native harness
# (wine_e2e_tests). Builds what it needs (scripts/build-windows.sh --tests, and the harness in
# build/release).
#
# Everything runs in a Wine prefix of this run's own, with Wine's crash dialog off so that an
# unhandled exception ends its process at once with the exception code as its exit status, and in
# a copy of it set to 144 dpi (150%). Every Wine process runs under timeout; at the end only these
# prefixes' wineservers are stopped.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-windows.sh --tests
cmake --preset release >/dev/null
cmake --build --preset release --target wine_e2e_tests >/dev/null
tests/windows_resources_test.sh build/windows/sample-drawing.exe

# Debian's wine launcher warns on every start that the 32-bit half is not installed; the 64-bit
# loader is what runs these 64-bit programs.
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
export WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/sample-drawing-wine.XXXXXX")
WINEPREFIX_144DPI=$(mktemp -d "${TMPDIR:-/tmp}/sample-drawing-wine-144dpi.XXXXXX")
export WINEPREFIX WINEPREFIX_144DPI

source scripts/lib/private-xvfb.sh
extra_cleanup() {
  timeout 30 wineserver -k 2>/dev/null || true
  WINEPREFIX=$WINEPREFIX_144DPI timeout 30 wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$WINEPREFIX_144DPI"
}
# The prefix is made on a server of its own, so that no Wine window ever reaches a real screen.
start_private_xvfb
export DISPLAY=$display

timeout 120 "$WINE" wineboot --init >/dev/null 2>&1
timeout 30 "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
timeout 30 "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1
timeout 30 "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1
timeout 30 wineserver -w
# The copy at 144 dpi, made once the first prefix's server has saved its registry and ended.
cp -a "$WINEPREFIX/." "$WINEPREFIX_144DPI"
WINEPREFIX=$WINEPREFIX_144DPI timeout 30 "$WINE" reg add 'HKCU\Control Panel\Desktop' \
  /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
WINEPREFIX=$WINEPREFIX_144DPI timeout 30 wineserver -w

echo "unit tests, cross-built, under Wine:"
timeout 120 "$WINE" build/windows/tests/unit_tests.exe --gtest_brief=1 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  echo "error: the unit tests failed under Wine (status $status)" >&2
  exit 1
fi

echo "the exe under Wine, by the X harness:"
# The harness starts an X server of its own; Wine's processes from the set-up are stopped first.
timeout 30 wineserver -k 2>/dev/null || true
WINEPREFIX=$WINEPREFIX_144DPI timeout 30 wineserver -k 2>/dev/null || true
unset DISPLAY
SAMPLE_DRAWING_EXE=$PWD/build/windows/sample-drawing.exe \
  timeout 300 build/release/tests/wine_e2e_tests --gtest_brief=1
