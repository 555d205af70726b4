#!/usr/bin/env bash
# check-exactness.sh: builds the unit tests with each compiler at each optimisation level and runs
# them, because the start-up report and the scale trace must come out the same everywhere.
#
# Usage: scripts/check-exactness.sh [CONFIG...]
#   CONFIG is <compiler>-O<level>, compiler "clang" or "gcc"; default: all of the matrix below.
# Builds in build/exact-<config> inside the source tree, only the unit_tests target, and runs them
# through ctest.
# Prints one line per configuration and exits non-zero if any configuration fails to configure,
# build or pass; a missing compiler counts as a failure, not a skip.
set -u

# g++ at -O3 is the release build, whose unit tests the test command runs anyway.
readonly kDefaultConfigs=(clang-O0 clang-O2 clang-O3 gcc-O0 gcc-O2)

sourceDir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "${sourceDir}"
configs=("$@")
if [ ${#configs[@]} -eq 0 ]; then
  configs=("${kDefaultConfigs[@]}")
fi

# Runs one configuration, a preset of CMakePresets.json (exact-<config>); prints "<stage> <seconds>",
# stage being the first that failed or "pass". Warnings are errors here, as in every build the test
# command makes; the level replaces the build type's own flags.
RunConfig() {
  local config="$1" compiler log start
  case "${config%-O*}" in
    clang) compiler=clang++ ;;
    gcc) compiler=g++ ;;
    *) echo "bad-config 0"; return ;;
  esac
  log="${sourceDir}/build/exact-${config}/exactness.log"
  start=${SECONDS}
  if ! command -v "${compiler}" >/dev/null 2>&1; then
    echo "no-${compiler} 0"
    return
  fi
  mkdir -p "$(dirname "${log}")"
  if ! cmake --preset "exact-${config}" >"${log}" 2>&1; then
    echo "configure $((SECONDS - start))"
    return
  fi
  if ! cmake --build --preset "exact-${config}" >>"${log}" 2>&1; then
    echo "build $((SECONDS - start))"
    return
  fi
  if ! ctest --preset "exact-${config}" >>"${log}" 2>&1; then
    echo "test $((SECONDS - start))"
    return
  fi
  echo "pass $((SECONDS - start))"
}

failures=0
results=()
for config in "${configs[@]}"; do
  read -r stage seconds < <(RunConfig "${config}")
  results+=("$(printf '%-10s %-10s %4ss' "${config}" "${stage}" "${seconds}")")
  if [ "${stage}" != pass ]; then
    failures=$((failures + 1))
    echo "--- ${config}: ${stage} failed; end of build/exact-${config}/exactness.log:" >&2
    tail -n 40 "${sourceDir}/build/exact-${config}/exactness.log" 2>/dev/null >&2
  fi
done

echo "exactness matrix (unit_tests per compiler and optimisation level):"
printf '  %s\n' "${results[@]}"
if [ "${failures}" -ne 0 ]; then
  echo "exactness: ${failures} of ${#configs[@]} configurations failed"
  exit 1
fi
echo "exactness: all ${#configs[@]} configurations pass"
