#!/usr/bin/env bash
# build-windows.sh: cross-builds the Windows program here on Debian: build/windows/sample-drawing.exe
# and the zip beside it (the exe, the licence and a short read-me). freeglut comes from the upstream
# tarball of Debian's source package, built statically with the same toolchain
# (toolchain-windows.cmake), so the exe imports only DLLs that every Windows has; the script checks
# that.
#
# Usage: scripts/build-windows.sh [--tests]   (--tests also builds the unit tests, for Wine)
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(--target sample-drawing)
if [ "${1:-}" = "--tests" ]; then targets=(); fi
readonly build=build/windows
readonly deps=$build/freeglut
readonly toolchain=$PWD/toolchain-windows.cmake
readonly objdump=x86_64-w64-mingw32-objdump
# What a bare 64-bit Windows 10 or 11 has in System32 of what a program like this could import.
readonly kSystemDlls='ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll OPENGL32.dll USER32.dll WINMM.dll'

scripts/install-deps.sh windows

# freeglut's upstream source, the .orig tarball of Debian's source package: the same 3.4.0 on
# Debian 12 and 13, whichever Debian revision the machine's release has. Debian's packaging patches
# are for the Linux shared library (its soname) and have no part in a static Windows build, so the
# .dsc and .debian.tar.xz are not fetched. apt finds the tarball through a deb-src entry made from
# the machine's own apt sources (each repository, suite and component it has for binary packages),
# in an apt state of our own under the build tree, leaving the system's apt configuration as it
# is; apt's helper downloads it and checks it against the hash in the Sources index, and so does
# the script after it.
readonly kFreeglutVersion=3.4.0
if [ ! -f "$deps/install/lib/libfreeglut_static.a" ]; then
  rm -rf "$deps"
  mkdir -p "$deps/apt/lists/partial" "$deps/apt/cache/archives/partial" "$deps/src"
  apt-get indextargets --no-release-info --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk '$1 == "deb" { print "deb-src", $2, $3, $4 }' | sort -u >"$deps/apt/sources.list"
  if [ ! -s "$deps/apt/sources.list" ]; then
    echo "error: apt has no sources to derive a deb-src entry from" >&2
    exit 1
  fi
  apt_own=(-o Dir::Etc::SourceList="$PWD/$deps/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
           -o Dir::State::Lists="$PWD/$deps/apt/lists" -o Dir::Cache="$PWD/$deps/apt/cache"
           -o APT::Sandbox::User="$(id -un)")
  apt-get "${apt_own[@]}" -q update >/dev/null
  # One line per file of the source package: 'URI' NAME SIZE TYPE:HASH, from the Sources index;
  # asked in the empty source directory, since apt leaves out a file the current one already has.
  tarball=freeglut_$kFreeglutVersion.orig.tar.gz
  entry=$(cd "$deps/src" && apt-get "${apt_own[@]}" -q --print-uris source freeglut 2>/dev/null |
          awk -v name="$tarball" '$2 == name { print; exit }')
  read -r uri _ _ hash <<<"$entry"
  uri=${uri//\'/}
  case "$hash" in
    SHA256:*) sum=sha256sum ;;
    SHA512:*) sum=sha512sum ;;
    *)
      echo "error: apt's Sources index has no $tarball with a SHA-256 or SHA-512 hash" >&2
      exit 1 ;;
  esac
  if ! /usr/lib/apt/apt-helper "${apt_own[@]}" download-file "$uri" "$PWD/$deps/$tarball" "$hash" \
         >/dev/null ||
     ! echo "${hash#*:}  $deps/$tarball" | "$sum" --check --quiet; then
    echo "error: could not fetch $uri with the hash $hash" >&2
    exit 1
  fi
  tar -xzf "$deps/$tarball" -C "$deps/src"
  source_dir=$deps/src/freeglut-$kFreeglutVersion
  # freeglut's own warnings are its maintainers' business: they go to the log with the rest. Its
  # source is not ours, so no preset of ours configures it: the one configure by hand in scripts/.
  log=$deps/build.log
  if ! { cmake -S "$source_dir" -B "$deps/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
           -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PWD/$deps/install" \
           -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
           -DFREEGLUT_BUILD_DEMOS=OFF &&
         cmake --build "$deps/build" -j2 && cmake --install "$deps/build"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "error: building freeglut failed; the whole log is $log" >&2
    exit 1
  fi
fi

cmake --preset windows >/dev/null
# The link of the unit tests warns of libstdc++'s type names, which clang lays out in sections of
# another size than g++; the linker keeps one copy of each, as it should. A real warning in our
# code fails the build (-Werror), whose log is then shown.
if ! cmake --build --preset windows "${targets[@]}" >"$build/build.log" 2>&1; then
  grep -v 'duplicate section .* has different size' "$build/build.log" | tail -n 40 >&2
  echo "error: the Windows build failed; the whole log is $build/build.log" >&2
  exit 1
fi
(cd "$build" && cpack -G ZIP >/dev/null)

exe=$build/sample-drawing.exe
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print $3 }' | sort -f | tr '\n' ' ')
for dll in $imports; do
  if ! grep -qiw -- "$dll" <<<"$kSystemDlls"; then
    echo "error: $exe imports $dll, which Windows does not have" >&2
    exit 1
  fi
done
echo "$exe: $(stat -c %s "$exe") bytes, imports only system DLLs: $imports"
echo "$(ls "$build"/sample-drawing-*.zip)"
