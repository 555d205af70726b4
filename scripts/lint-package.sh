#!/usr/bin/env bash
# lint-package.sh: makes the Debian package from a built tree and holds it and its desktop files
# to the rules: desktop-file-validate on the launcher, groff's warnings on the manual page, lintian
# on the package. Any error or warning, even one a tool exits 0 on, fails. Takes a few seconds.
#
# Usage: scripts/lint-package.sh [BUILD_DIR]   (default build/release, already built); the release
# build runs it as the test package_lint (`ctest --preset package`).
set -euo pipefail
cd "$(dirname "$0")/.."
buildDir=${1:-build/release}

# Runs a checker that passes by saying nothing.
Silent() {
  local report
  if ! report=$("$@" 2>&1) || [ -n "$report" ]; then
    printf '%s\n' "$report" >&2
    echo "error: not clean: $*" >&2
    return 1
  fi
}

Silent desktop-file-validate --no-hints data/sample-drawing.desktop
Silent groff -Kutf8 -man -ww -Tutf8 -z data/sample-drawing.1

rm -f "$buildDir"/sample-drawing_*.deb
if ! log=$(cd "$buildDir" && cpack -G DEB 2>&1); then
  printf '%s\n' "$log" >&2
  exit 1
fi
package=$(ls "$buildDir"/sample-drawing_*.deb)
Silent lintian --allow-root --fail-on error,warning "$package"
# lintian misses a package without its launcher or icon; a menu entry needs both.
contents=$(dpkg-deb -c "$package")
for path in usr/share/applications/sample-drawing.desktop \
            usr/share/icons/hicolor/scalable/apps/sample-drawing.svg \
            usr/share/icons/hicolor/48x48/apps/sample-drawing.png; do
  if ! grep -q " \./$path\$" <<<"$contents"; then
    echo "error: the package lacks /$path" >&2
    exit 1
  fi
done
echo "desktop-file-validate, groff and lintian: clean ($(basename "$package"))"
