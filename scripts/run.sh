#!/usr/bin/env bash
# Builds the program (release preset) and starts it: a desktop window when
# there is a display, the uptime on this terminal otherwise (q or Ctrl-C quits).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target kq-rez-v1
exec build/release/app/kq-rez-v1
