#!/usr/bin/env bash
# install-deps.sh: installs the Debian packages of the named groups that are missing. Uses apt-get
# directly as root, through sudo otherwise; never asks a question.
#
# Usage: scripts/install-deps.sh GROUP...
# The groups, each with what uses it, are below: the one list of what the project installs.
set -euo pipefail

# Building and running the demo: the compiler and CMake; OpenGL and FLTK's GLUT layer, with Mesa's
# software renderer for machines without a GPU; fontconfig chooses the menu's font, and
# fonts-nanum has the Hangul of its labels; with no display, a virtual X server, xwininfo to find
# the window and ImageMagick's import to save its picture; rsvg-convert draws the icon's PNG sizes
# that the build installs.
group_demo=(
  cmake make g++
  libfltk1.3-dev libfontconfig-dev libgl-dev libgl1-mesa-dri fonts-nanum
  xvfb xauth x11-utils imagemagick librsvg2-bin
)
# What the test command adds: style checks and the second compiler; GoogleTest; X11 and XTest
# for reading pixels and driving the menu; valgrind for memcheck; the Debian package (dpkg-dev's
# dpkg-shlibdeps finds its dependencies) and its checks; clang's runtime libraries hold libFuzzer
# for the fuzz preset. The style checks are one version by name, 19, which Debian 12 and 13 both
# have, so that both judge the tree alike; the second compiler is the release's own clang, since
# the exactness stage is meant to see more than one.
group_test=(
  clang libclang-rt-dev clang-format-19 clang-tidy-19
  libgtest-dev libx11-dev libxtst-dev
  valgrind
  dpkg-dev lintian desktop-file-utils groff-base
)
# What the benchmark adds: its baseline, the plainest GLUT program, on freeglut.
group_bench=(
  freeglut3-dev
)
# What scripts/make-windows-picture.sh adds: xdotool drives the menu for its picture.
group_pictures=(
  xdotool
)
# The Windows build and its tests (scripts/build-windows.sh, scripts/test-windows.sh): clang
# compiles for Windows (its structured exception handling) against mingw-w64's headers, runtime
# and linker; dpkg-dev unpacks freeglut's source; googletest's source is built for Windows; Wine
# runs the results on a virtual X server. rsvg-convert draws the exe's icon in its four sizes and
# icoutils puts them in one .ico, whose resources the tests read back with wrestool.
group_windows=(
  cmake make clang g++-mingw-w64-x86-64-posix dpkg-dev googletest
  wine wine64 xvfb xauth x11-utils librsvg2-bin icoutils
)

# The browser build and its test: Debian's Emscripten (with its Node.js modules) compiles the same
# sources to wasm, and GoogleTest's sources with them for the unit tests under Node.js; Chromium
# runs the page headless, driven through the DevTools protocol by python3-websocket, which also
# drives Firefox ESR through WebDriver BiDi on a virtual X server with Mesa's software GL;
# python3 serves the static files on loopback; ImageMagick turns the screenshots into the PPM the
# native checker reads. From the npm registry, the versions and checksums
# pinned in tests/web/package-lock.json: axe-core, the accessibility checker the page test runs.
group_web=(
  cmake make emscripten googletest
  chromium firefox-esr xvfb xauth libgl1-mesa-dri python3 python3-websocket imagemagick
)
npm_web=tests/web

if [ "$#" -eq 0 ]; then
  echo "usage: $0 GROUP... (groups: demo test bench pictures windows web)" >&2
  exit 2
fi
packages=()
for group in "$@"; do
  if ! declare -p "group_$group" >/dev/null 2>&1; then
    echo "error: no package group '$group' (groups: demo test bench pictures windows web)" >&2
    exit 2
  fi
  declare -n members="group_$group"
  packages+=("${members[@]}")
  unset -n members
done

npm_dirs=()
for group in "$@"; do
  if declare -p "npm_$group" >/dev/null 2>&1; then
    declare -n npm_dir="npm_$group"
    npm_dirs+=("$npm_dir")
    unset -n npm_dir
  fi
done
# Debian's npm, where the machine's Node.js brings none of its own.
if [ "${#npm_dirs[@]}" -ne 0 ] && ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

# Installs the npm packages locked in each folder, into its node_modules, unless the last install
# there is newer than the lock.
install_npm_packages() {
  local name dir
  for name in "${npm_dirs[@]}"; do
    dir="$(dirname "$0")/../$name"
    if [ "$dir/node_modules/.package-lock.json" -nt "$dir/package-lock.json" ]; then
      continue
    fi
    echo "Installing from the npm registry: the packages locked in $name/package-lock.json"
    if ! npm ci --prefix "$dir" --no-audit --no-fund --loglevel=error; then
      echo "error: could not install the npm packages locked in $name/package-lock.json" >&2
      exit 1
    fi
  done
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -eq 0 ]; then
  install_npm_packages
  exit 0
fi

# The front-end setting is given to apt-get itself: sudo would drop an exported one. Another
# install already running (an unattended upgrade) is waited for, not failed on.
apt_get=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "error: these packages are missing and neither root nor sudo is available to install them:" >&2
    echo "  ${missing[*]}" >&2
    echo "Install them with: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  apt_get=(sudo "${apt_get[@]}")
fi

echo "Installing: ${missing[*]}"
if ! "${apt_get[@]}" update -q ||
   ! "${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}"; then
  echo "error: could not install these packages: ${missing[*]}" >&2
  echo "Install them by hand with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
install_npm_packages
