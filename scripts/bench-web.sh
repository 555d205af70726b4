#!/usr/bin/env bash
# bench-web.sh: builds the browser version and measures it in a headless Chromium, composited in
# software and in the GPU process (WebGL on SwiftShader either way): the CPU of the page beside
# the same scene in plain WebGL (bench/baseline.html) in windows taken in turn, the time to each
# one's first drawn frame, served and from the disk, then the page's size and the scale ticks'
# pace; or, with --soak, one page's pace and memory minute by minute. Markdown tables, no
# assertions; the load average is printed beside the figures. Options: scripts/lib/web_bench.py.
# Usage: scripts/bench-web.sh [--windows N] [--window-seconds S] [--runs N] [--seconds S]
#          [--compositing software|gpu|both] [--cost-only | --first-frame-only | --trace]
#        scripts/bench-web.sh --soak MINUTES [--chains N]
# Default: 5 windows of 10 s of each page both ways (12 min), then the first frames (2 min).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-web.sh >/dev/null
echo "## Benchmark: the page in headless Chromium"
echo
echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "- Chromium: $(dpkg-query -W -f='${Version}' chromium), WebGL on SwiftShader"
echo "- Emscripten: $(dpkg-query -W -f='${Version}' emscripten)"
echo "- Load before: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
echo
/usr/bin/python3 scripts/lib/web_bench.py build/web "$@"
echo
echo "- Load after: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
