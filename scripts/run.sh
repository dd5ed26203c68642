#!/usr/bin/env bash
# Builds the program alone (the run preset: no tests, no benchmarks) and
# starts it: a desktop window when a display opens, the uptime on this
# terminal otherwise (q or Ctrl-C quits).
# Usage: scripts/run.sh [--terminal-only]
#   --terminal-only  build without the desktop face (no FLTK or X11 needed)
set -euo pipefail
cd "$(dirname "$0")/.."
terminal_only=OFF deps_flags=()
case ${1:-} in
  "") ;;
  --terminal-only) terminal_only=ON deps_flags=(--terminal-only) ;;
  *) echo "usage: scripts/run.sh [--terminal-only]" >&2; exit 2 ;;
esac
scripts/deps.sh run "${deps_flags[@]}"
# The configure's output only when it fails; otherwise the line naming the faces.
log=$(mktemp)
if ! cmake --preset run -DKQ_TERMINAL_ONLY=$terminal_only >"$log" 2>&1; then
  cat "$log" >&2; rm -f "$log"; exit 1
fi
sed -n 's/^-- \(kq-rez-v1 faces: .*\)/\1/p' "$log"
rm -f "$log"
cmake --build --preset run --target kq-rez-v1
exec build/run/app/kq-rez-v1
