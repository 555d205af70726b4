#!/usr/bin/env bash
# make-web-picture.sh: makes docs/web.png, the README's picture of the browser build: the real
# page in a headless Chromium, its menu open over the canvas with entry 5 under the pointer, the
# start-up report in the console pane beside it. A thin grey frame is drawn round it, as round
# the desktop pictures (scripts/make-pictures.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
scripts/build-web.sh >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/make-web-picture.XXXXXX")
trap 'rm -rf "$work"' EXIT
timeout 90 /usr/bin/python3 scripts/lib/web_picture.py build/web "$work/web.png"
convert "$work/web.png" -bordercolor '#a0a0a0' -border 1 -strip docs/web.png
echo "docs/web.png: $(identify -format '%w x %h' docs/web.png), $(stat -c %s docs/web.png) bytes"
