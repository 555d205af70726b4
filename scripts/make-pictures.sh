#!/usr/bin/env bash
# make-pictures.sh: makes the README's pictures from the real program, so they can be made again:
# docs/menu.png, the open pop-up menu over the window; docs/mode-1.png .. docs/mode-5.png, one
# screenshot per draw mode; and docs/scale-animation.gif, the scale animation of draw mode 5. The
# release build runs on a private virtual X server, and each draw mode is chosen through the
# program's own pop-up menu with synthetic mouse events. Every picture gets a thin grey frame, so
# the white window shows on a white page.
set -euo pipefail
cd "$(dirname "$0")/.."

# Where the right button is pressed, relative to the window: the top-left area, away from the
# cube, so the menu opening there fits on the screen below and to the right of it.
readonly kPressXPx=40
readonly kPressYPx=40
# FLTK's menu: its entries share one height and begin 3 pixels below its top; the window is as
# high as the eleven entries, less 4 pixels of leading after the last, plus 7 pixels of border.
readonly kEntries=11
readonly kEntryTopPx=3
readonly kMenuExtraPx=3
# The pointer goes this far right of the menu's left edge to pick an entry; a selected entry's
# highlight shows in the column kHighlightPx, left of every label.
readonly kEntryInsetPx=20
readonly kHighlightPx=4
# The menu picture shows this entry highlighted, as under a user's pointer, and the menu opened
# low enough in the window to leave the axes and the cube in sight above it.
readonly kShownEntry=5
readonly kMenuPictureXPx=10
readonly kMenuPictureYPx=180
# The window's edge, in pixels.
readonly kWindowPx=300
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

for tool in cmake Xvfb xwininfo xdotool import convert mogrify timeout; do
  command -v "$tool" >/dev/null 2>&1 || fail "'$tool' is missing; scripts/install-deps.sh demo pictures installs it"
done

started_us=${EPOCHREALTIME/[^0-9]/}
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSAMPLE_DRAWING_TESTS=OFF >/dev/null
cmake --build build/release --target sample-drawing -j"$(nproc)" >/dev/null ||
  fail "the release build of sample-drawing failed"
program=build/release/sample-drawing
# The pictures are made here and replace those in docs/ only when all of them are made.
work=$(mktemp -d "${TMPDIR:-/tmp}/make-pictures.XXXXXX")
console="$work/console.txt"

source scripts/lib/private-xvfb.sh
extra_cleanup() { rm -rf "$work"; }
# A white desktop, as the page the pictures sit on.
start_private_xvfb 640x480x24 -wr

# xdotool on the private server only; the caller's DISPLAY is never used.
xdo() {
  DISPLAY="$display" xdotool "$@"
}

# Prints the value of one xwininfo field ("Map State", "Absolute upper-left X", ...) of the window
# with this name, or nothing while there is no such window.
window_field() {
  xwininfo -display "$display" -name "$1" 2>/dev/null |
    awk -v field="$2" -F': *' '$1 ~ "^ *" field "$" { print $2 }'
}

# Waits up to about 5 s for the window with this name to reach (or, with "not", to leave) this map
# state; fails when it does not.
wait_for_state() {
  local name=$1 mode=$2 state=$3 current
  for _ in $(seq 100); do
    current=$(window_field "$name" "Map State")
    if [ "$mode" = is ] && [ "$current" = "$state" ]; then return 0; fi
    if [ "$mode" = not ] && [ "$current" != "$state" ]; then return 0; fi
    sleep 0.05
  done
  return 1
}

"$program" -display "$display" >"$console" 2>&1 &
program_pid=$!
wait_for_state "Sample Drawing" is IsViewable || fail "the window \"Sample Drawing\" did not appear"
window=$(xwininfo -display "$display" -name "Sample Drawing" | awk '/Window id:/ { print $4 }')
window_x=$(window_field "Sample Drawing" "Absolute upper-left X")
window_y=$(window_field "Sample Drawing" "Absolute upper-left Y")
press_x=$((window_x + kPressXPx))
press_y=$((window_y + kPressYPx))

# Prints the open pop-up menu's window id, "x y width height" of it, or nothing while no menu is
# open: FLTK maps an override-redirect window of its own for the menu while it is open.
open_menu() {
  local id
  for id in $(xwininfo -display "$display" -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
    xwininfo -display "$display" -id "$id" 2>/dev/null | awk -v id="$id" -F': *' '
      $1 ~ /Absolute upper-left X$/ { x = $2 } $1 ~ /Absolute upper-left Y$/ { y = $2 }
      $1 ~ /^ *Width$/ { w = $2 } $1 ~ /^ *Height$/ { h = $2 }
      $1 ~ /Map State$/ { mapped = ($2 == "IsViewable") }
      $1 ~ /Override Redirect State$/ { menu = ($2 == "yes") }
      END { if (mapped && menu) print id, x, y, w, h }' | grep . && return 0
  done
  return 0
}

# Waits up to about 5 s for the menu to open ("open") or to close ("closed").
wait_for_menu() {
  for _ in $(seq 100); do
    if [ "$1" = open ] && [ -n "$(open_menu)" ]; then return 0; fi
    if [ "$1" = closed ] && [ -z "$(open_menu)" ]; then return 0; fi
    sleep 0.05
  done
  return 1
}

# The colour of pixel ($2, $3) of window $1, as ImageMagick names it.
pixel_of() {
  timeout 5 import -display "$display" -window "$1" -crop "1x1+$2+$3" +repage txt:- 2>/dev/null |
    awk 'NR == 2 { print $3 }'
}

# With the menu open as "id x y width height" in $1, moves the pointer onto entry $2 (from 1) and
# waits until the entry shows highlighted: FLTK follows the pointer only once it has taken it for
# the menu, a moment after the menu shows.
point_at_entry() {
  local id x y width height entry_px entry_y other_y nudge
  read -r id x y width height <<<"$1"
  entry_px=$(((height - kMenuExtraPx) / kEntries))
  entry_y=$((kEntryTopPx + entry_px * ($2 - 1) + entry_px / 2))
  other_y=$((kEntryTopPx + entry_px * ($2 == 1 ? 1 : 0) + entry_px / 2))
  for nudge in $(seq 100); do
    xdo mousemove $((x + kEntryInsetPx + nudge % 2)) $((y + entry_y))
    [ "$(pixel_of "$id" "$kHighlightPx" "$entry_y")" != "$(pixel_of "$id" "$kHighlightPx" "$other_y")" ] &&
      return 0
    sleep 0.05
  done
  return 1
}

# Opens the menu with a right press, moves onto entry number $1 (from 1) and releases there.
choose_entry() {
  local entry=$1 menu
  kill -0 "$program_pid" 2>/dev/null || fail "the program has exited; its last output:
$(tail -n 5 "$console")"
  xdo mousemove "$press_x" "$press_y"
  xdo mousedown 3
  wait_for_menu open || fail "the menu did not open for entry $entry"
  menu=$(open_menu)
  point_at_entry "$menu" "$entry" || fail "entry $entry of the menu did not show highlighted"
  xdo mouseup 3
  wait_for_menu closed || fail "the menu did not close after entry $entry"
}

# The menu as a user opening it sees it: opened with a click, so it stays open, and an entry
# under the pointer. The picture spans the window and the menu; Escape then closes the menu.
picture_menu() {
  local menu id x y width height
  xdo mousemove $((window_x + kMenuPictureXPx)) $((window_y + kMenuPictureYPx))
  xdo click 3
  wait_for_menu open || fail "the menu did not open for its picture"
  menu=$(open_menu)
  read -r id x y width height <<<"$menu"
  point_at_entry "$menu" "$kShownEntry" || fail "the menu did not follow the pointer"
  # The pointer is not in the picture; a moment lets the highlight's drawing finish.
  sleep 0.2
  # From one pixel above and left of the window to a little beyond the menu; the window's edge is
  # outlined in grey on the white desktop, under the menu.
  local left=$((window_x - 1)) top=$((window_y - 1))
  timeout 10 import -display "$display" -window root \
    -crop "$((x + width + 8 - left))x$((y + height + 8 - top))+${left}+${top}" +repage "$work/screen.png" ||
    fail "no screenshot of the menu"
  convert "$work/screen.png" -fill none -stroke "$kFrameColour" \
    -draw "rectangle 0,0 $((kWindowPx + 1)),$((kWindowPx + 1))" \
    \( "$work/screen.png" -crop "${width}x${height}+$((x - left))+$((y - top))" \) \
    -geometry "+$((x - left))+$((y - top))" -composite "$1"
  xdo key Escape
  wait_for_menu closed || fail "Escape did not close the menu"
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
choose_entry 5
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
