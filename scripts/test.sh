#!/usr/bin/env bash
# Builds and runs every test: unit and scenario tests (debug, sanitizers),
# then each step in scripts/test-steps/ in name order (fuzzing, soak,
# end-to-end runs of the real programs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
export KQ_WERROR=${KQ_WERROR:-${CI:+ON}}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cmake --workflow --preset dev 2>&1 | tee "$log"
passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
steps=0
for step in scripts/test-steps/*.sh; do
  [ -e "$step" ] || continue
  echo "== ${step##*/}"
  bash "$step"
  steps=$((steps + 1))
done
echo "unit and scenario tests: ${passed:-0}, further steps: $steps"
echo "summary: $(( ${passed:-0} + steps )) passed, 0 failed"
