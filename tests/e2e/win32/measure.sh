#!/usr/bin/env bash
# Figures for the Windows program under Wine (not a test): exe size, how
# often the title really changes on the X side, and the CPU the program and
# the wineserver use while it runs.
# Usage: tests/e2e/win32/measure.sh [SECONDS] (KQ_EXE overrides the exe)
set -euo pipefail
cd "$(dirname "$0")/../../.."
. tests/e2e/lib.sh
seconds=${1:-30}
kq_exe=$(realpath "${KQ_EXE:-build/win32/app/KQ-REZ-V1.exe}")
echo "exe size: $(stat -c %s "$kq_exe") bytes"

e2e_begin
e2e_before_cleanup() { stop_wine_prefix; }
start_desktop 1024x768
start_wine_prefix
start_wine_app "$kq_exe"
main=$(find_window 120 '^KQ-DADEDED: [0-9]+d, ') || fail "no running caption"
sleep 2

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
server=
for pid in $(pgrep -x 'wineserver(32|64)?' || true); do  # the one serving this prefix
  tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && server=$pid
done
hz=$(getconf CLK_TCK)
app0=$(cpu_ticks "$wine_app_pid"); server0=${server:+$(cpu_ticks "$server")}
# Every change of the title arrives as one PropertyNotify, printed by -spy.
timeout "$seconds" xprop -spy -id "$main" _NET_WM_NAME >"$e2e_tmp/spy.log" 2>/dev/null || true
app1=$(cpu_ticks "$wine_app_pid"); server1=${server:+$(cpu_ticks "$server")}

changes=$(($(wc -l <"$e2e_tmp/spy.log") - 1))  # the first line is the value at the start
distinct=$(sort -u "$e2e_tmp/spy.log" | wc -l)
awk -v n="$changes" -v d="$distinct" -v s="$seconds" 'BEGIN {
  printf "title changes: %d in %d s (%.2f a second), %d distinct titles\n", n, s, n / s, d }'
awk -v a=$((app1 - app0)) -v w=$(( ${server1:-0} - ${server0:-0} )) -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "CPU: program %.1f%%, wineserver %.1f%% of one core\n", 100 * a / hz / s, 100 * w / hz / s }'
