#!/usr/bin/env bash
# build-web.sh: builds the browser version into build/web/ with Debian's Emscripten, installing
# what is missing first. The output is one file, sample-drawing.html, with the program, its
# WebAssembly, the page's style and scripts (web/) and the icon inside; it runs opened from the
# disk. index.html beside it is the same page, for a web server, for instance:
#   python3 -m http.server --bind 127.0.0.1 --directory build/web 8000
# and open http://127.0.0.1:8000/.
#
# CMake's own files are kept beside it, in build/web-cmake/ (the `web` preset).
#
# Usage: scripts/build-web.sh [--with-tests]
#   --with-tests  also builds the unit tests, to run under Node.js (scripts/test-web.sh does)
set -euo pipefail
cd "$(dirname "$0")/.."
page_dir=$PWD/build/web
tests=OFF
if [ "${1:-}" = --with-tests ]; then
  tests=ON
elif [ "$#" -ne 0 ]; then
  echo "usage: $0 [--with-tests]" >&2
  exit 2
fi

scripts/install-deps.sh web
cmake --preset web -DSAMPLE_DRAWING_TESTS="$tests" >/dev/null
cmake --build --preset web
echo "Built build/web/: $(cd "$page_dir" && echo *)"
