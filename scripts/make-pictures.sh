#!/usr/bin/env bash
# make-pictures.sh: makes the README's pictures from the real program, so they can be made again:
# docs/menu.png, the open pop-up menu over the window; docs/mode-1.png .. docs/mode-5.png, one
# screenshot per draw mode; and docs/scale-animation.gif, the scale animation of draw mode 5. The
# release build runs on a private virtual X server, and each draw mode is chosen through the
# program's own pop-up menu with synthetic mouse events. Every picture gets a thin grey frame, so
# the white window shows on a white page.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/program_facts.sh

# The menu picture shows this entry highlighted, as under a user's pointer, and the menu opened
# low enough in the window to leave the axes and the cube in sight above it.
readonly kShownEntry=5
readonly kMenuPictureXPx=10
readonly kMenuPictureYPx=180
# The frame drawn round every picture.
readonly kFrameColour='#a0a0a0'
# Screenshots of draw modes 1 to 4 are taken this long after choosing, so the cube has turned.
readonly kSettleS=1.5
# The animation is filmed for 45 rotation ticks (4.5 s): the first growth (1 s), one shrink
# (1.5 s) and one further growth (1.5 s). Over that time the cube turns a quarter, so where the
# GIF loops the turn shows no jump, only the size does.
readonly kFrameCount=45
readonly kFrameIntervalUs=100000
# The window shows only pure white and pure red; two red half-axes take about 300 pixels, the cube
# at its smallest (scale 0.5, edge 22 pixels) about 500.
readonly kMinRedPx=700
readonly kGifLimitBytes=300000

fail() {
  echo "error: $*" >&2
  exit 1
}

for tool in cmake Xvfb import convert mogrify timeout; do
  command -v "$tool" >/dev/null 2>&1 || fail "'$tool' is missing; scripts/install-deps.sh demo test installs it"
done

started_us=${EPOCHREALTIME/[^0-9]/}
# The tests' menu probe (tests/menu_probe.cpp) finds the window and drives the menu.
cmake --preset release >/dev/null
cmake --build --preset release --target sample-drawing menu_probe >/dev/null ||
  fail "the release build of sample-drawing and menu_probe failed"
program=build/release/sample-drawing
probe=build/release/tests/menu_probe
# The pictures are made here and replace those in docs/ only when all of them are made.
work=$(mktemp -d "${TMPDIR:-/tmp}/make-pictures.XXXXXX")
console="$work/console.txt"

source scripts/lib/private-xvfb.sh
extra_cleanup() { rm -rf "$work"; }
# A white desktop, as the page the pictures sit on; the tests' screen size.
start_private_xvfb 1024x768x24 -wr

"$program" -display "$display" >"$console" 2>&1 &
program_pid=$!
read -r window window_x window_y < <("$probe" "$display" window) ||
  fail "the window \"$WINDOW_TITLE\" did not appear"

# Opens the menu with a right press, moves onto entry number $1 (from 1) and releases there.
choose_entry() {
  kill -0 "$program_pid" 2>/dev/null || fail "the program has exited; its last output:
$(tail -n 5 "$console")"
  "$probe" "$display" choose "$1" || fail "entry $1 of the menu was not chosen"
}

# The menu as a user opening it sees it: opened with a click, so it stays open, and an entry
# under the pointer. The picture spans the window and the menu; Escape then closes the menu.
picture_menu() {
  local x y width height
  read -r x y width height < <("$probe" "$display" show "$kShownEntry" "$kMenuPictureXPx" \
    "$kMenuPictureYPx") || fail "the menu did not open with entry $kShownEntry under the pointer"
  # The pointer is not in the picture; a moment lets the highlight's drawing finish.
  sleep 0.2
  # From one pixel above and left of the window to a little beyond the menu; the window's edge is
  # outlined in grey on the white desktop, under the menu.
  local left=$((window_x - 1)) top=$((window_y - 1))
  timeout 10 import -display "$display" -window root \
    -crop "$((x + width + 8 - left))x$((y + height + 8 - top))+${left}+${top}" +repage "$work/screen.png" ||
    fail "no screenshot of the menu"
  convert "$work/screen.png" -fill none -stroke "$kFrameColour" \
    -draw "rectangle 0,0 $((WINDOW_PX + 1)),$((WINDOW_PX + 1))" \
    \( "$work/screen.png" -crop "${width}x${height}+$((x - left))+$((y - top))" \) \
    -geometry "+$((x - left))+$((y - top))" -composite "$1"
  "$probe" "$display" close || fail "Escape did not close the menu"
}

# Gives a picture (a PNG or each frame of a GIF) its thin grey frame.
frame_picture() {
  mogrify -bordercolor "$kFrameColour" -border 1 "$1"
}

# Prints the number of red pixels in a screenshot when it holds only pure white and pure red with
# at least the axes and a cube, so a picture with the menu over it or of an unfinished frame is
# refused; prints nothing otherwise.
red_pixels() {
  convert "$1" -format '%k %[fx:w*h] %[fx:w*h*(1-mean.g)] %[fx:maxima.r] %[fx:minima.b]\n' info: |
    awk -v least="$kMinRedPx" '$1 == 2 && $4 == 1 && $5 == 0 && $3 >= least { printf "%d\n", $3 + 0.5 }'
}

# 1 when the pixel at ($2, $3) of a screenshot is red, 0 when it is white.
is_red() {
  convert "$1" -format "%[fx:p{$2,$3}.g < 0.5 ? 1 : 0]" info:
}

# Takes one screenshot of the window into $1. import can wait for ever on a window that has gone,
# hence the time limit.
grab() {
  timeout 10 import -display "$display" -window "$window" "$1" ||
    fail "no screenshot of the window (has the program exited?); its last output:
$(tail -n 5 "$console")"
}

# Captures the window into $1, taking it again a few times if the picture is refused.
capture() {
  for _ in 1 2 3 4 5; do
    grab "$1"
    [ -n "$(red_pixels "$1")" ] && return 0
    sleep 0.05
  done
  fail "no clean screenshot of the window for $1"
}

# Checks where the cube is: at the origin in draw modes 2 and 5 it covers a point just off the
# centre; in draw mode 1 it covers a point just off (0.6, 0); in modes 3 and 4 it is away from the
# centre. Pixel (150, 150) is the origin and 90 pixels are 0.6 units.
check_placement() {
  local mode=$1 file=$2 at_centre at_offset
  at_centre=$(is_red "$file" 145 155)
  at_offset=$(is_red "$file" 240 155)
  case "$mode" in
    1) [ "$at_centre$at_offset" = 01 ] ;;
    2 | 5) [ "$at_centre" = 1 ] ;;
    3 | 4) [ "$at_centre" = 0 ] ;;
  esac || fail "the cube in $file is not where draw mode $mode puts it"
}

picture_menu "$work/menu.png"
for mode in 1 2 3 4; do
  choose_entry "$mode"
  sleep "$kSettleS"
  capture "$work/mode-$mode.png"
  check_placement "$mode" "$work/mode-$mode.png"
done

# Entry 5 starts the scale animation; its first trace line shows that the choice reached the program.
choose_entry "$SCALE_ENTRY"
chosen_us=${EPOCHREALTIME/[^0-9]/}
for ((i = 0; i < kFrameCount; i++)); do
  due_us=$((chosen_us + (i + 1) * kFrameIntervalUs))
  now_us=${EPOCHREALTIME/[^0-9]/}
  if ((due_us > now_us)); then
    sleep "$(printf '%d.%06d' $(((due_us - now_us) / 1000000)) $(((due_us - now_us) % 1000000)))"
  fi
  grab "$work/frame-$(printf '%03d' "$i").png"
done
grep -q '^MyTimer' "$console" || fail "choosing entry 5 did not start the scale animation"

# A refused frame is left out. The draw mode 5 screenshot is the frame where the cube reaches
# furthest left of the centre: large and turned well away from square to the axes. The lower-left
# quadrant holds no axis, and its red part's bounding box ("%@") starts that far from the left.
gif_frames=()
widest=0
widest_frame=
for ((i = 0; i < kFrameCount; i++)); do
  frame="$work/frame-$(printf '%03d' "$i").png"
  if [ -z "$(red_pixels "$frame")" ]; then
    echo "note: frame $i refused (menu or unfinished drawing), left out" >&2
    continue
  fi
  gif_frames+=("$frame")
  left=$(convert "$frame" -crop 145x145+0+155 +repage -format '%@' info: | awk -F+ '{ print $2 }')
  reach=$((145 - left))
  if ((reach > widest)); then
    widest=$reach
    widest_frame=$frame
  fi
done
((${#gif_frames[@]} >= kFrameCount * 9 / 10)) ||
  fail "$((kFrameCount - ${#gif_frames[@]})) of the $kFrameCount frames of the animation were refused"
cp "$widest_frame" "$work/mode-5.png"
check_placement 5 "$work/mode-5.png"

# Delays are in hundredths of a second: one frame per rotation tick plays at the program's speed.
# The window has two colours and its frame a third, so the GIF needs no colour reduction, only the
# frame differences.
for frame in "${gif_frames[@]}"; do frame_picture "$frame"; done
convert -delay $((kFrameIntervalUs / 10000)) "${gif_frames[@]}" -loop 0 -layers Optimize \
  "$work/scale-animation.gif"
gif_bytes=$(stat -c %s "$work/scale-animation.gif")
((gif_bytes <= kGifLimitBytes)) ||
  fail "the animation is $gif_bytes bytes, more than the $kGifLimitBytes allowed"

for picture in "$work"/mode-[1-5].png "$work/menu.png"; do frame_picture "$picture"; done
mkdir -p docs
cp "$work"/mode-[1-5].png "$work/menu.png" "$work/scale-animation.gif" docs/

finished_us=${EPOCHREALTIME/[^0-9]/}
echo "Made in $(((finished_us - started_us) / 1000000)) s:"
stat -c '  %n  %s bytes' docs/menu.png docs/mode-[1-5].png docs/scale-animation.gif
