#!/usr/bin/env bash
# demo.sh: installs what is missing, makes a release build and runs the demo.
#
# With a display ($DISPLAY set) the window opens there and the console output stays in this
# terminal. Without one, the demo runs for a few seconds on a private virtual X server, and a
# screenshot of its window is saved as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/program_facts.sh

scripts/install-deps.sh demo
# The test command's release build when there is one, so nothing is configured again; otherwise
# that build without its tests, whose libraries the demo's packages leave out.
[ -f build/release/CMakeCache.txt ] || cmake --preset release -DSAMPLE_DRAWING_TESTS=OFF >/dev/null
cmake --build --preset release --target sample-drawing
program=build/release/sample-drawing

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

seconds=4
picture="$PWD/build/sample-drawing.png"
console="$PWD/build/sample-drawing.log"
echo "No display: running the demo on a private virtual X server for ${seconds} s."

source scripts/lib/private-xvfb.sh
start_private_xvfb

"$program" -display "$display" >"$console" &
program_pid=$!

window=
for _ in $(seq 100); do
  window=$(xwininfo -display "$display" -name "$WINDOW_TITLE" 2>/dev/null |
           awk '/Window id:/ { print $4 }') || true
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "error: the window did not appear" >&2
  exit 1
fi
sleep "$seconds"
import -display "$display" -window "$window" "$picture"

echo "--- console output ---"
cat "$console"
echo "--- end of console output ---"
echo "Screenshot of the window: $picture"
