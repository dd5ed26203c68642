#!/usr/bin/env bash
# Fuzzes the engine's readings and real text for about 30 seconds (clang,
# libFuzzer, ASan + UBSan); any crash or failed check fails the step. The
# fuzzer's progress goes to build/fuzz/fuzz_engine_numbers.log; one line here.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_engine_numbers --parallel 2
corpus=build/fuzz/corpus/engine_numbers
mkdir -p "$corpus"
# Seeds: the forms the cascade writes and a few a driver might leave.
for seed in 93784000 1.08546296296296 9.51293759512938E-08 1E+15 -0.25 " 60 s" ".5" \
            "1,5" "1.79769313486232E+308" "4.94065645841247E-324" "START_TB"; do
  printf '%s' "$seed" > "$corpus/seed-$(printf '%s' "$seed" | md5sum | cut -c1-12)"
done
log=build/fuzz/fuzz_engine_numbers.log
if ! timeout 120 build/fuzz/fuzz/engine/fuzz_engine_numbers "$corpus" \
       -max_total_time=30 -max_len=64 -timeout=10 -print_final_stats=1 \
       -artifact_prefix=build/fuzz/ >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz_engine_numbers found a fault (input saved under build/fuzz/; full log: $log)" >&2
  exit 1
fi
echo "fuzz_engine_numbers: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") inputs, no fault (log: $log)"
