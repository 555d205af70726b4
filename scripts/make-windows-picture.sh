#!/usr/bin/env bash
# make-windows-picture.sh: makes docs/windows-menu.png, the Windows build under Wine with its
# native popup menu open over the window and entry 5 under the pointer, in a Korean locale so that
# Wine draws the Hangul labels with an installed Korean font (fonts-nanum), as a Korean Windows
# does with Malgun Gothic. Builds with scripts/build-windows.sh; runs on a private virtual X
# server in a Wine prefix of its own. The Korean locale is compiled into the work directory
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

scripts/install-deps.sh demo pictures windows
scripts/build-windows.sh
command -v localedef >/dev/null || { echo "error: localedef (libc-bin) is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/windows-picture.XXXXXX")
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
localedef -i ko_KR -f UTF-8 "$work/ko_KR.UTF-8" 2>/dev/null || true
korean=(env LOCPATH="$work" LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8)

source scripts/lib/private-xvfb.sh
extra_cleanup() {
  timeout 30 wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
start_private_xvfb 640x480x24 -wr
export DISPLAY=$display
timeout 120 "${korean[@]}" "$WINE" wineboot --init >/dev/null 2>&1

timeout 60 "${korean[@]}" "$WINE" build/windows/sample-drawing.exe >"$work/console.txt" 2>/dev/null &
program_pid=$!
for _ in $(seq 100); do
  xwininfo -name "$WINDOW_TITLE" >/dev/null 2>&1 && break
  sleep 0.1
done
read -r x y < <(xwininfo -name "$WINDOW_TITLE" |
                awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }')
sleep 1.5
xdotool mousemove $((x + kPressXPx)) $((y + kPressYPx)) mousedown 3
sleep 1
# The menu: the one large override-redirect window on the screen.
menu=$(xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }' | while read -r id; do
  xwininfo -id "$id" | awk -v id="$id" '/Override Redirect State: yes/ { o = 1 }
    /Map State: IsViewable/ { v = 1 } /Width:/ { w = $2 } /Height:/ { h = $2 }
    /Absolute upper-left X/ { mx = $NF } /Absolute upper-left Y/ { my = $NF }
    END { if (o && v && w > 100 && h > 100) print mx, my, w, h }'
done | head -n 1)
[ -n "$menu" ] || { echo "error: the menu did not open" >&2; exit 1; }
read -r mx my mw mh <<<"$menu"
xdotool mousemove $((mx + mw / 2)) $((my + mh * (2 * kShownEntry - 1) / (2 * MENU_ENTRIES)))
sleep 0.5
right=$((mx + mw + 8))
bottom=$((my + mh + 8))
import -window root -crop "$((right - x + 8))x$((bottom - y + 8))+$((x - 8))+$((y - 8))" \
  "$work/shot.png"
xdotool mouseup 3
convert "$work/shot.png" +repage -bordercolor "$kFrameColour" -border 1 -strip docs/windows-menu.png
echo "docs/windows-menu.png: $(identify -format '%wx%h' docs/windows-menu.png)"
