#!/usr/bin/env bash
# bench-web.sh: builds the browser version and measures it in a headless Chromium: what the page
# costs beside the same scene in plain WebGL (bench/baseline.html), as CPU of all the browser's
# processes in windows of each page taken in turn (the plain page; ours in draw mode 1; with one
# scale animation; with three), their medians and ratios, and animation-frame callbacks and
# drawn frames a second, with the page composited in software (--disable-gpu) and in the GPU
# process, as browsers run for their users (WebGL on SwiftShader either way); then the time from
# navigation to the first drawn frame, ours against the plain page, served and from the disk,
# both ways; then the sizes of the served files, the time to the end of the start-up report, and
# the pace of the scale ticks (entry 5) from the console lines' timestamps. With
# --soak, one page instead runs entry 5's chains for that many minutes, and each minute's ticks,
# frame gaps and the browser's memory are printed: the pane must keep its pace for hours. Prints
# Markdown tables; asserts nothing. Progress goes to standard error.
#
# Usage: scripts/bench-web.sh [--windows N] [--window-seconds S] [--cost-only]
#                             [--runs N] [--seconds S] [--compositing software|gpu|both]
#                             [--first-frame-only]
#          default 5 windows of 10 s of each page, both ways (about 12 min), then the first frame
#          and 3 runs of 10 s (2 min)
#        scripts/bench-web.sh --trace [--window-seconds S]   one traced window of each page:
#          each thread's time and the renderer's main-thread phases
#        scripts/bench-web.sh --soak MINUTES [--chains N]   (default 3 chains)
# Other work on the machine delays the timers and shares the cores: the load average is printed
# beside the figures, and the cost table's windows take turns so that it falls on all pages alike.
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
