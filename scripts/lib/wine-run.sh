#!/usr/bin/env bash
# wine-run.sh: runs a cross-built Windows program under Wine, in a prefix of its own on a private X
# server, both gone afterwards; the Windows build's emulator (toolchain-windows.cmake), through
# which `ctest --preset windows` runs the unit tests. Carriage returns are taken out of the
# output; the status is the program's.
#
# Usage: scripts/lib/wine-run.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail
lib=$(dirname "$(readlink -f "$0")")
source "$lib/private-xvfb.sh"
source "$lib/wine-prefix.sh"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/sample-drawing-wine.XXXXXX")
extra_cleanup() {
  stop_wine_prefix "$prefix"
  rm -rf "$prefix"
}
start_private_xvfb
export DISPLAY=$display
make_wine_prefix "$prefix"
set +e
WINEPREFIX=$prefix timeout 300 "$WINE" "$@" 2>&1 | tr -d '\r'
exit "${PIPESTATUS[0]}"
