#!/usr/bin/env bash
# memcheck.sh: runs the unit tests under valgrind's memcheck; fails on any memory error or leak.
# Prints one line of figures when clean, and valgrind's whole output when not.
#
# Usage: scripts/memcheck.sh [extra gtest arguments]
# Builds build/release/tests/unit_tests if needed.
#
# Left out, because valgrind's CPU emulation does not model the x87/SSE floating-point
# environment: it keeps no exception flags (fetestexcept reads 0 after a division by zero) and
# ignores unmasked traps (feenableexcept never leads to SIGFPE). So
#   - the death tests (*DeathTest*), which unmask traps in a child and expect SIGFPE or its
#     absorption; without --trace-children their children would run natively anyway, unchecked;
#   - GuardedDivideTest.MaskedTrapsGiveTheIeeeQuotientAndFlags, which checks the flags a
#     division raises.
# Both kinds run natively in the normal test command. tests/valgrind.supp holds the two
# suppressions needed, for glibc's dynamic loader and for fontconfig's lifelong configuration.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly kExcluded='*DeathTest*:GuardedDivideTest.MaskedTrapsGiveTheIeeeQuotientAndFlags'

if ! command -v valgrind >/dev/null 2>&1; then
  echo "error: valgrind is not installed (apt-get install valgrind)" >&2
  exit 1
fi
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSAMPLE_DRAWING_TESTS=ON >/dev/null
cmake --build build/release --target unit_tests -j"$(nproc)" >/dev/null

# Quiet on success: one line of figures from valgrind's summary. On failure, its whole output.
log=$(mktemp "${TMPDIR:-/tmp}/memcheck.XXXXXX")
trap 'rm -f "$log"' EXIT
if ! valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
    --show-leak-kinds=definite,possible --errors-for-leak-kinds=definite,possible \
    --track-origins=yes --suppressions=tests/valgrind.supp \
    build/release/tests/unit_tests --gtest_brief=1 --gtest_filter="-${kExcluded}" "$@" \
    >"$log" 2>&1; then
  cat "$log" >&2
  echo "memcheck: FAILED (valgrind's whole output above)" >&2
  exit 1
fi
# The figures from valgrind's summaries, such as "ERROR SUMMARY: 0 errors from 0 contexts
# (suppressed: 1 from 1)", "definitely lost: 0 bytes in 0 blocks", "suppressed: 288 bytes in 2
# blocks" (leaks of fontconfig's and the loader's lifelong data; see tests/valgrind.supp).
summary() { sed -n "s/^==[0-9]*== *$1/\\1/p" "$log" | tail -n 1; }
echo "memcheck: $(summary 'ERROR SUMMARY: \([0-9,]*\) errors.*') errors" \
  "($(summary 'ERROR SUMMARY: .*(suppressed: \([0-9,]*\) from.*') suppressed)," \
  "definitely lost $(summary 'definitely lost: \([0-9,]* bytes\) in.*')," \
  "possibly lost $(summary 'possibly lost: \([0-9,]* bytes\) in.*')," \
  "suppressed leaks $(summary 'suppressed: \([0-9,]* bytes in [0-9,]* blocks\)')" \
  "in the unit tests"
