#!/usr/bin/env bash
# make-windows-picture.sh: makes docs/windows-menu.png, the Windows build under Wine with its
# native popup menu open over the window and entry 5 under the pointer, in a Korean locale so that
# Wine draws the Hangul labels with an installed Korean font (fonts-nanum), as a Korean Windows
# does with Malgun Gothic. Builds with scripts/build-windows.sh; runs on a private virtual X
# server in a Wine prefix of its own (scripts/lib/wine-prefix.sh), the window and menu found by the
# tests' menu probe. The Korean locale is compiled into the work directory
# (LOCPATH), so the machine's locales are left as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/program_facts.sh

# Where the right button goes down, from the window's top-left corner: low enough that the menu
# leaves the axes and the cube in sight.
readonly kPressXPx=30
readonly kPressYPx=170
readonly kShownEntry=5
readonly kFrameColour='#a0a0a0'

scripts/install-deps.sh demo test pictures windows
scripts/build-windows.sh
command -v localedef >/dev/null || { echo "error: localedef (libc-bin) is missing" >&2; exit 1; }
# The tests' menu probe (tests/menu_probe.cpp) finds the window and the open menu.
cmake --preset release >/dev/null
cmake --build --preset release --target menu_probe >/dev/null
probe=build/release/tests/menu_probe

work=$(mktemp -d "${TMPDIR:-/tmp}/windows-picture.XXXXXX")
localedef -i ko_KR -f UTF-8 "$work/ko_KR.UTF-8" 2>/dev/null || true
korean=(env LOCPATH="$work" LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8)

source scripts/lib/private-xvfb.sh
source scripts/lib/wine-prefix.sh
export WINEPREFIX=$work/prefix
extra_cleanup() {
  stop_wine_prefix "$WINEPREFIX"
  rm -rf "$work"
}
start_private_xvfb 640x480x24 -wr
export DISPLAY=$display
make_wine_prefix "$WINEPREFIX" "${korean[@]}"

timeout 60 "${korean[@]}" "$WINE" build/windows/sample-drawing.exe >"$work/console.txt" 2>/dev/null &
program_pid=$!
read -r _ x y < <("$probe" "$display" window) || { echo "error: no window" >&2; exit 1; }
sleep 1.5
xdotool mousemove $((x + kPressXPx)) $((y + kPressYPx)) mousedown 3
read -r mx my mw mh < <("$probe" "$display" menu) ||
  { echo "error: the menu did not open" >&2; exit 1; }
xdotool mousemove $((mx + mw / 2)) $((my + mh * (2 * kShownEntry - 1) / (2 * MENU_ENTRIES)))
sleep 0.5
right=$((mx + mw + 8))
bottom=$((my + mh + 8))
import -window root -crop "$((right - x + 8))x$((bottom - y + 8))+$((x - 8))+$((y - 8))" \
  "$work/shot.png"
xdotool mouseup 3
convert "$work/shot.png" +repage -bordercolor "$kFrameColour" -border 1 -strip docs/windows-menu.png
echo "docs/windows-menu.png: $(identify -format '%wx%h' docs/windows-menu.png)"
