#!/usr/bin/env bash
# check-package.sh: builds the Debian package and proves it installs and runs on a bare Debian 12
# that has none of the build's packages: a minimal root made by debootstrap, where
# `apt-get install ./sample-drawing_*.deb` must fetch the runtime libraries itself. Needs root and
# the Debian mirror the machine's apt uses; takes a few minutes. Not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/program_facts.sh

if [ "$(id -u)" -ne 0 ]; then
  echo "error: run as root (debootstrap and chroot need it)" >&2
  exit 1
fi
scripts/install-deps.sh demo test
command -v debootstrap >/dev/null || apt-get install -y -q --no-install-recommends debootstrap

# Whatever apt uses for bookworm's main component, written either as sources.list lines or as
# deb822 .sources files: a local mirror or a caching proxy then serves debootstrap too. apt reads
# the sources itself, so no downloaded index is needed.
mirror=$(apt-get indextargets --no-release-info --format '$(RELEASE) $(COMPONENT) $(REPO_URI)' |
         awk '$1 == "bookworm" && $2 == "main" && !found++ { print $3 }')
if [ -z "$mirror" ]; then
  echo "error: apt has no source for bookworm main, which debootstrap needs" >&2
  exit 1
fi
# A proxy in apt's configuration serves debootstrap's downloads and the new root's apt alike.
if [ -z "${http_proxy:-}" ]; then
  eval "$(apt-config shell http_proxy Acquire::http::Proxy)"
  if [ -n "${http_proxy:-}" ]; then export http_proxy; fi
fi

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSAMPLE_DRAWING_TESTS=OFF >/dev/null
cmake --build build/release --target sample-drawing -j"$(nproc)"
(cd build/release && cpack -G DEB >/dev/null)
package=$(ls build/release/sample-drawing_*.deb)

root=$(mktemp -d /tmp/sample-drawing-root.XXXXXX)
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

echo "Making a minimal Debian 12 in $root from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/"
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
echo "package check: installed and ran cleanly on a bare Debian 12"
