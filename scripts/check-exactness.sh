#!/usr/bin/env bash
# check-exactness.sh: builds the unit tests with each compiler at each optimisation level and runs
# them, because the start-up report and the scale trace must come out the same everywhere.
#
# Usage: scripts/check-exactness.sh [CONFIG...]
#   CONFIG is <compiler>-O<level>, compiler "clang" or "gcc"; default: all of the matrix below.
# Builds in build/exact-<config> inside the source tree, only the unit_tests target.
# Prints one line per configuration and exits non-zero if any configuration fails to configure,
# build or pass; a missing compiler counts as a failure, not a skip.
set -u

# g++ at -O3 is the release build, whose unit tests the test command runs anyway.
readonly kDefaultConfigs=(clang-O0 clang-O2 clang-O3 gcc-O0 gcc-O2)

sourceDir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
configs=("$@")
if [ ${#configs[@]} -eq 0 ]; then
  configs=("${kDefaultConfigs[@]}")
fi

generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
jobs="$(nproc 2>/dev/null || echo 2)"

# Runs one configuration; prints "<stage> <seconds>", stage being the first that failed or "pass".
# Warnings are errors here, as in every build the test command makes.
RunConfig() {
  local config="$1" compiler level buildDir log start
  case "${config%-O*}" in
    clang) compiler=clang++ ;;
    gcc) compiler=g++ ;;
    *) echo "bad-config 0"; return ;;
  esac
  level="${config##*-O}"
  buildDir="${sourceDir}/build/exact-${config}"
  log="${buildDir}/exactness.log"
  start=${SECONDS}
  if ! command -v "${compiler}" >/dev/null 2>&1; then
    echo "no-${compiler} 0"
    return
  fi
  mkdir -p "${buildDir}"
  # The level replaces the build type's own flags; the project's warning and floating-point
  # options are added by the project itself, after these.
  if ! cmake -S "${sourceDir}" -B "${buildDir}" "${generator[@]}" \
      -DCMAKE_CXX_COMPILER="${compiler}" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS_RELEASE="-O${level} -DNDEBUG" \
      -DSAMPLE_DRAWING_TESTS=ON -DSAMPLE_DRAWING_WERROR=ON >"${log}" 2>&1; then
    echo "configure $((SECONDS - start))"
    return
  fi
  if ! cmake --build "${buildDir}" --target unit_tests -j "${jobs}" >>"${log}" 2>&1; then
    echo "build $((SECONDS - start))"
    return
  fi
  if ! "${buildDir}/tests/unit_tests" --gtest_brief=1 --gtest_color=no >>"${log}" 2>&1; then
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
