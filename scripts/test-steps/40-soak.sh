#!/usr/bin/env bash
# The long soak: weeks of virtual time on the simulator, optimised build.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset release >/dev/null
timeout 1200 cmake --build --preset release --target kq_soak_long
timeout 900 ctest --preset release -L soak
