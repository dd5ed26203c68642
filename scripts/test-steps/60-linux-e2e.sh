#!/usr/bin/env bash
# End to end on Linux, from outside the program: the release build of
# kq-rez-v1 on a virtual X display with openbox, then its terminal face in
# tmux. Starts its own Xvfb on a free display; needs no display of its own.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(uname -s)" = Linux ] || { echo "not Linux: skipped"; exit 0; }

cmake --preset release >/dev/null
timeout 1200 cmake --build --preset release --target kq-rez-v1 kq-wm-poke --parallel 2
program=build/release/app/kq-rez-v1

timeout 300 bash tests/e2e/linux/desktop.sh "$program" build/release/tests/e2e/kq-wm-poke
timeout 120 bash tests/e2e/linux/terminal.sh "$program"
