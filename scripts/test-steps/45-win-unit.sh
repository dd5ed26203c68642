#!/usr/bin/env bash
# The unit tests of the Windows build, cross-compiled with MinGW-w64 as the
# exe is (static, size-optimised) and run under Wine: the registry store, the
# functions bound by name, the exe's own throw helpers, and every test of the
# code the Windows and Linux programs share. A virtual X display lets the
# tests create windows. The last line, "tally: P passed, F failed", is
# CTest's count, which scripts/test.sh counts test by test.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/e2e/lib.sh

# The 32-bit build where this kernel runs 32-bit programs; otherwise the
# 64-bit build of the same source under Wine's 64-bit loader.
export WINE_ARCH=${WINE_ARCH:-$(wine_arch)}
[ "$WINE_ARCH" = win64 ] &&
  echo "NOTE: this kernel runs no 32-bit programs (32-bit support off at boot); the 64-bit build's tests run instead"
preset=$WINE_ARCH-tests
echo "building the $preset preset"
timeout 1200 cmake --preset "$preset" >/dev/null
timeout 3600 cmake --build --preset "$preset"

e2e_logs=$PWD/build/$preset/logs
e2e_begin
e2e_before_cleanup() { stop_wine_prefix; }
start_x 1024x768
start_wine_prefix
say "Wine prefix ($WINE_ARCH) ready on display $DISPLAY"

log=$e2e_tmp/ctest.log
rc=0
timeout 1800 ctest --preset "$preset" 2>&1 | tee "$log" || rc=$?
tally=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log" | tail -n 1)
[ -n "$tally" ] || fail "no CTest tally"
read -r bad all <<<"$tally"
echo "tally: $((all - bad)) passed, $bad failed"
exit "$rc"
