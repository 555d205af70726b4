#!/usr/bin/env bash
# windows_resources_test.sh: what Windows shows of the exe before it runs: the icon's four sizes,
# the version strings from project() and LICENSE, the manifest's scaling and Windows version. Run
# by ctest in the Windows build (`ctest --preset windows`) with the exe's path.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$1
version=$(sed -n 's/^project(SampleDrawing VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wrestool -x --type=group_icon "$exe" >"$work/icon.ico"
# The version's strings are UTF-16: with the zero bytes gone, each name runs into its value.
wrestool -x --raw --type=version "$exe" | tr -d '\0' >"$work/version"
wrestool -x --raw --type=24 --name=1 "$exe" >"$work/manifest"

failures=0
check() { "${@:2}" >/dev/null || { echo "error: $1" >&2; failures=$((failures + 1)); }; }
check "icon sizes" diff <(icotool -l "$work/icon.ico" | grep -o 'width=[0-9]*') \
  <(printf 'width=%s\n' 16 32 48 256)
for pair in "ProductNameSample Drawing" "FileVersion$version" "ProductVersion$version" \
            "LegalCopyright$(grep -m 1 '^Copyright (c) ' LICENSE)"; do
  check "version information: $pair" grep -qaF -- "$pair" "$work/version"
done
check "manifest: PerMonitorV2" grep -qF '>PerMonitorV2' "$work/manifest"
check "manifest: Windows 10 and 11" grep -qF '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' "$work/manifest"
[ "$failures" -eq 0 ] && echo "$exe: its icon, version information and manifest as expected"
