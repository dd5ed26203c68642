#!/usr/bin/env bash
# Fuzzes the settings file parser for about 20 seconds. The fuzzer's progress
# goes to build/fuzz/fuzz_settings_ini.log; one line here, the report on a fault.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_settings_ini --parallel 2
corpus=build/fuzz/corpus/settings-ini
mkdir -p "$corpus"
log=build/fuzz/fuzz_settings_ini.log
if ! timeout 180 build/fuzz/fuzz/settings/fuzz_settings_ini -max_total_time=20 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" fuzz/settings/corpus >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz_settings_ini found a fault (input saved under build/fuzz/; full log: $log)" >&2
  exit 1
fi
echo "fuzz_settings_ini: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") inputs, no fault (log: $log)"
