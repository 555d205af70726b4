#!/usr/bin/env bash
# bench.sh: builds a release and measures sample-drawing (on FLTK's GLUT layer) against two
# freeglut baselines (bench/baseline.cpp, bare and with sample-drawing's menu), each run on a
# private Xvfb, the three in turn. Prints a Markdown report: the machine, its load before and
# after, and tables of medians with their ranges, the ratios and the targets, among them exec to
# the first drawn frame with LANG=C.UTF-8 and with LANG=C. Progress goes to standard error.
#
# Usage: scripts/bench.sh [--quick] [--runs N] [--seconds S] [--ticks T] [--program PATH]
#                         [--first-frames N]
#   default: 10 runs of each, 20 s of animation per run, 100 scale-tick intervals, then 20 first
#   frames of each in each locale (about 13 min);
#   --quick: 3 runs of 6 s, 50 intervals, 6 first frames (about 2 min);
#   --program: another build of sample-drawing in place of this tree's, to compare revisions.
#   --first-frames: first frames of each program in each locale (default twice --runs).
# The figures mean most on an idle machine: the report shows the load average; other work on the
# machine delays timer ticks and stretches the start-up.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo test bench
cmake --preset release >/dev/null
cmake --build --preset release --target bench_driver >/dev/null

MesaVersion() {
  if command -v glxinfo >/dev/null 2>&1; then
    # glxinfo needs a display; it reports the renderer the benchmark's Xvfb would use.
    local version
    version=$(source scripts/lib/private-xvfb.sh && start_private_xvfb &&
              glxinfo -display "$display" -B 2>/dev/null |
              sed -n 's/^OpenGL version string: //p') || true
    if [ -n "$version" ]; then
      echo "$version"
      return
    fi
  fi
  echo "libgl1-mesa-dri $(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown)"
}

echo "## Benchmark: sample-drawing against the baselines"
echo
echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "- CPU: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores"
echo "- Kernel: $(uname -sr)"
echo "- Mesa: $(MesaVersion)"
echo "- FLTK (sample-drawing): $(dpkg-query -W -f='${Version}' libfltk1.3 2>/dev/null || echo unknown)"
echo "- freeglut (the baselines): $(dpkg-query -W -f='${Version}' libglut3.12 2>/dev/null || echo unknown)"
echo "- Load before: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
echo
build/release/bench/bench_driver "$@"
echo
echo "- Load after: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
