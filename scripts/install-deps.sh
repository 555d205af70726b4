#!/usr/bin/env bash
# install-deps.sh: installs the Debian packages that building, running and testing need, when any
# of them is missing. Uses apt-get directly as root, through sudo otherwise.
set -euo pipefail

packages=(
  # Build, style checks and packaging; rsvg-convert draws the icon's PNG sizes
  cmake make g++ clang clang-format clang-tidy dpkg-dev librsvg2-bin
  # The package's checks (scripts/lint-package.sh)
  lintian desktop-file-utils groff-base
  # OpenGL and FLTK's GLUT layer, with Mesa's software renderer for machines without a GPU;
  # fontconfig chooses the menu's font, and fonts-nanum has the Hangul of its labels
  libfltk1.3-dev libfontconfig-dev libgl-dev libgl1-mesa-dri fonts-nanum
  # The benchmark's baseline: the plainest GLUT program, on freeglut
  freeglut3-dev
  # Tests: GoogleTest, a private virtual X server, X11 and XTest for reading pixels and driving the menu
  libgtest-dev xvfb xauth libx11-dev libxtst-dev x11-utils
  # Memory checking of the unit tests (scripts/memcheck.sh)
  valgrind
  # Screenshots and pictures; xdotool drives the menu for scripts/make-pictures.sh
  imagemagick xdotool
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "error: these packages are missing and neither root nor sudo is available to install them:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install them with: apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get update -q ||
   ! "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  echo "error: could not install these packages: ${missing[*]}" >&2
  echo "Install them by hand with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
