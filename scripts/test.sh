#!/usr/bin/env bash
# Builds and runs every test: unit and scenario tests (debug, sanitizers),
# then each step in scripts/test-steps/ in name order (fuzzing, end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
export KQ_WERROR=${KQ_WERROR:-${CI:+ON}}
cmake --workflow --preset dev
for step in scripts/test-steps/*.sh; do
  [ -e "$step" ] || continue
  echo "== ${step##*/}"
  bash "$step"
done
