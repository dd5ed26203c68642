#!/usr/bin/env bash
# Fuzzes the settings file parser for about 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_settings_ini --parallel 2
corpus=build/fuzz/corpus/settings-ini
mkdir -p "$corpus"
timeout 180 build/fuzz/fuzz/settings/fuzz_settings_ini -max_total_time=20 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" fuzz/settings/corpus
