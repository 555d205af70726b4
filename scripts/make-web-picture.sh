#!/usr/bin/env bash
# make-web-picture.sh: makes the pictures of the browser build from the real page in a headless
# Chromium: docs/web.png, its menu open over the canvas with entry 5 under the pointer, the
# start-up report in the console pane beside it; and docs/web-frame.png, entry 5 chosen and the
# frame panel held on the first turn of the scale. A thin grey frame is drawn round each, as
# round the desktop pictures (scripts/make-pictures.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
scripts/build-web.sh >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/make-web-picture.XXXXXX")
trap 'rm -rf "$work"' EXIT
timeout 90 /usr/bin/python3 scripts/lib/web_picture.py build/web "$work/web.png" \
  "$work/web-frame.png"
for picture in web web-frame; do
  convert "$work/$picture.png" -bordercolor '#a0a0a0' -border 1 -strip "docs/$picture.png"
  echo "docs/$picture.png: $(identify -format '%w x %h' "docs/$picture.png"), $(stat -c %s "docs/$picture.png") bytes"
done
