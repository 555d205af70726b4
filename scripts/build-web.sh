#!/usr/bin/env bash
# build-web.sh: builds the browser version into build/web/ with Debian's Emscripten, installing
# what is missing first. The output is static files, index.html beside sample-drawing.js and
# sample-drawing.wasm; serve the folder with any static web server, for instance:
#   python3 -m http.server --bind 127.0.0.1 --directory build/web 8000
# and open http://127.0.0.1:8000/.
#
# CMake's own files and the unit tests (run under Node.js by scripts/test-web.sh) are built beside
# it, in build/web-cmake/.
set -euo pipefail
cd "$(dirname "$0")/.."
page_dir=$PWD/build/web

scripts/install-deps.sh web
cmake -S . -B build/web-cmake -DCMAKE_TOOLCHAIN_FILE="$PWD/toolchain-web.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSAMPLE_DRAWING_WERROR=ON -DSAMPLE_DRAWING_PAGE_DIR="$page_dir" \
  >/dev/null
cmake --build build/web-cmake -j2
echo "Built build/web/: $(cd "$page_dir" && echo *)"
