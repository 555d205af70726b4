#!/usr/bin/env bash
# demo.sh: installs what is missing, makes a release build and runs the demo.
#
# With a display ($DISPLAY set) the window opens there and the console output stays in this
# terminal. Without one, the demo runs for a few seconds on a private virtual X server, and a
# screenshot of its window is saved as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target sample-drawing -j"$(nproc)"
program=build/release/sample-drawing

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

seconds=4
picture="$PWD/build/sample-drawing.png"
console="$PWD/build/sample-drawing.log"
echo "No display: running the demo on a private virtual X server for ${seconds} s."

# Xvfb picks a free display and writes its number into this pipe (opened for reading and writing).
exec {display_pipe}<> <(:)
Xvfb -displayfd "$display_pipe" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=
# Each step may fail (a process already gone, a status of 143 after SIGTERM) without stopping
# the rest of the clean-up.
cleanup() {
  if [ -n "$program_pid" ]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
read -r -t 10 display_number <&"$display_pipe" || { echo "error: Xvfb did not start" >&2; exit 1; }
display=":$display_number"

"$program" -display "$display" >"$console" &
program_pid=$!

window=
for _ in $(seq 100); do
  window=$(xwininfo -display "$display" -name "Sample Drawing" 2>/dev/null |
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
