#!/usr/bin/env bash
# Builds and runs every test: unit and scenario tests (debug, sanitizers),
# then each step in scripts/test-steps/ in name order (fuzzing, the package,
# soak, end-to-end runs of the real programs, the Windows build's unit tests
# under Wine). A failure does not stop the rest; the last line counts what
# passed and what failed (each unit test counts once, each step once), and
# the exit status is 1 if anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
export KQ_WERROR=${KQ_WERROR:-${CI:+ON}}

passed=0 failed=0 failures=()
pass() { passed=$((passed + ${2:-1})); }
fail() { failed=$((failed + ${2:-1})); failures+=("$1"); }
started=$(date +%s)
# step NAME COMMAND...: runs one step and counts it.
step() {
  local name=$1 begin rc
  shift
  echo "== $name"
  begin=$(date +%s)
  "$@"
  rc=$?
  if [ $rc -eq 0 ]; then pass "$name"; echo "== $name: passed ($(( $(date +%s) - begin )) s)"
  else fail "$name"; echo "== $name: FAILED, exit $rc ($(( $(date +%s) - begin )) s)"; fi
  return $rc
}

step "packages (scripts/deps.sh test)" scripts/deps.sh test

# The unit and scenario tests count one by one, from CTest's own tally.
if step "dev build" bash -c 'cmake --preset dev && cmake --build --preset dev'; then
  log=$(mktemp)
  echo "== unit and scenario tests (ctest --preset dev)"
  ctest --preset dev 2>&1 | tee "$log"
  tally=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log" | tail -n 1)
  rm -f "$log"
  if [ -n "$tally" ]; then
    read -r bad all <<<"$tally"
    pass "unit tests" $((all - bad))
    [ "$bad" -eq 0 ] || fail "unit and scenario tests ($bad of $all)" "$bad"
  else
    fail "unit and scenario tests (no CTest tally)"
  fi
fi

# A step that runs unit tests of its own ends with "tally: P passed, F
# failed"; those count one by one, like the dev build's, and the step itself
# counts only if it failed otherwise.
for script in scripts/test-steps/*.sh; do
  name=${script##*/} log=$(mktemp)
  echo "== $name"
  begin=$(date +%s)
  bash "$script" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  tally=$(sed -n 's/^tally: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log" | tail -n 1)
  rm -f "$log"
  if [ -n "$tally" ]; then
    read -r good bad <<<"$tally"
    pass "$name" "$good"
    [ "$bad" -eq 0 ] || fail "$name ($bad tests)" "$bad"
    [ "$rc" -eq 0 ] || [ "$bad" -gt 0 ] || fail "$name"
  else
    [ "$rc" -eq 0 ] && pass "$name" || fail "$name"
  fi
  if [ "$rc" -eq 0 ]; then echo "== $name: passed ($(( $(date +%s) - begin )) s)"
  else echo "== $name: FAILED, exit $rc ($(( $(date +%s) - begin )) s)"; fi
done

echo "== done in $(( $(date +%s) - started )) s"
for name in "${failures[@]}"; do echo "failed: $name"; done
echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
