#!/usr/bin/env bash
# windows_resources_test.sh: what Windows shows of the exe before it runs, and the zip it comes
# in: the icon in its four sizes, the version information with the project's version and LICENSE's
# copyright line, the manifest's scaling and Windows versions; the zip's three files, the texts
# with CR LF. Run by scripts/test-windows.sh after the build.
#
# Usage: tests/windows_resources_test.sh BUILD_DIR   (where sample-drawing.exe and the zip are)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: $0 BUILD_DIR}
exe=$build/sample-drawing.exe
version=$(sed -n 's/^project(SampleDrawing VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
copyright=$(grep -m 1 '^Copyright (c) ' LICENSE)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "error: $*" >&2
  failures=$((failures + 1))
}

wrestool -x --type=group_icon "$exe" >"$work/icon.ico"
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' |
        sort -n | tr '\n' ' ')
[ "$sizes" = "16 32 48 256 " ] || fail "$exe: icon sizes '$sizes', not 16 32 48 256"

# The version's strings are UTF-16: with the zero bytes gone, each name runs into its value.
strings=$(wrestool -x --raw --type=version "$exe" | tr -d '\0')
for pair in "ProductNameSample Drawing" "FileVersion$version" "ProductVersion$version" \
            "LegalCopyright$copyright" "OriginalFilenamesample-drawing.exe"; do
  grep -qaF -- "$pair" <<<"$strings" || fail "$exe: no $pair in its version information"
done

manifest=$(wrestool -x --raw --type=24 --name=1 "$exe")
for declared in '>PerMonitorV2' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
  grep -qF -- "$declared" <<<"$manifest" || fail "$exe: its manifest lacks $declared"
done

zip=$(realpath "$build/sample-drawing-$version-win64.zip")
(cd "$work" && cmake -E tar xf "$zip")
unzipped=$work/sample-drawing-$version-win64
for file in sample-drawing.exe LICENSE.txt README.txt; do
  [ -f "$unzipped/$file" ] || fail "$zip: no $file"
done
for text in LICENSE.txt README.txt; do
  [ "$(grep -c $'\r$' "$unzipped/$text")" -eq "$(wc -l <"$unzipped/$text")" ] ||
    fail "$zip: $text has a line without CR LF"
done

[ "$failures" -eq 0 ] && echo "resources and zip: as expected"
