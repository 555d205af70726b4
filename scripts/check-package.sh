#!/usr/bin/env bash
# check-package.sh: proves that the Debian package installs and runs on a bare Debian 12 or 13
# that has none of the build's packages: a minimal root made by debootstrap, where
# `apt-get install ./sample-drawing_*.deb` must fetch the runtime libraries itself. Needs root and
# the Debian mirror the machine's apt uses; takes a few minutes. Not part of the test command.
#
# Usage: scripts/check-package.sh [RELEASE [PACKAGE]]
#   RELEASE: 12 or 13 (or bookworm, trixie); the machine's own by default.
#   PACKAGE: a .deb built elsewhere (scripts/check-release.sh gives the one built on RELEASE);
#            by default the package is built here from build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/program_facts.sh
source scripts/lib/debian-root.sh

if [ "$(id -u)" -ne 0 ]; then
  echo "error: run as root (debootstrap and chroot need it)" >&2
  exit 1
fi
resolve_release "${1:-$(. /etc/os-release && echo "$VERSION_CODENAME")}"
package=${2:-}
if [ -z "$package" ]; then
  scripts/install-deps.sh demo test
  cmake --preset release >/dev/null
  cmake --build --preset release --target sample-drawing
  (cd build/release && cpack -G DEB >/dev/null)
  package=$(ls build/release/sample-drawing_*.deb)
fi

root=$(mktemp -d /tmp/sample-drawing-root.XXXXXX)
cleanup() {
  stop_root_processes "$root"
  unmount_root "$root"
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

make_bare_root "$root"
mount_root "$root"
cp "$package" "$root/tmp/"

chroot "$root" /usr/bin/env REPORT_LINES="$REPORT_LINES" /bin/bash -euo pipefail -c '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q ./tmp/'"$(basename "$package")"' | tail -n 3
  dpkg-query -W -f="\${Package} \${Version}\n" sample-drawing
  # The package brings a font for the Korean labels of the menu: the program finds one, so it says
  # nothing on standard error.
  dpkg-query -W -f="\${Package} \${Version} (the menu font)\n" fonts-nanum
  apt-get install -y -q --no-install-recommends xvfb xauth >/dev/null
  lines=$( (timeout 4 xvfb-run -a sample-drawing 2>/tmp/stderr.txt || true) | wc -l)
  echo "sample-drawing printed $lines lines on a virtual X server"
  [ "$lines" -eq "$REPORT_LINES" ]
  if [ -s /tmp/stderr.txt ]; then
    echo "error: sample-drawing wrote to standard error:" >&2
    cat /tmp/stderr.txt >&2
    exit 1
  fi
'
echo "package check: installed and ran cleanly on a bare $release_name"
