#!/usr/bin/env bash
# make-web-picture.sh: makes the pictures of the browser build from the real page in a headless
# Chromium: docs/web.png, its menu open over the canvas with entry 5 under the pointer, the
# start-up report in the console pane beside it; docs/web-frame.png, entry 5 chosen and the
# frame panel held on the first turn of the scale; docs/web-korean.png, the same in Korean;
# docs/web-phone.png, the page on a 360-pixel phone; docs/web-dpr2.png, the drawing at two device
# pixels to the CSS pixel; docs/web-paused.png, the page opened from a link to a run paused at the
# first turn of the scale; docs/web-editor.png, the learner's calls with one call's frame drawn. A
# thin grey frame is drawn round each, as round the desktop pictures
# (scripts/make-pictures.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
scripts/build-web.sh >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/make-web-picture.XXXXXX")
trap 'rm -rf "$work"' EXIT
pictures=(web web-frame web-korean web-phone web-dpr2 web-paused web-editor)
shots=()
for picture in "${pictures[@]}"; do shots+=("$work/$picture.png"); done
timeout 90 /usr/bin/python3 scripts/lib/web_picture.py build/web "${shots[@]}"
for picture in "${pictures[@]}"; do
  convert "$work/$picture.png" -bordercolor '#a0a0a0' -border 1 -strip "docs/$picture.png"
  echo "docs/$picture.png: $(identify -format '%w x %h' "docs/$picture.png"), $(stat -c %s "docs/$picture.png") bytes"
done
