#!/usr/bin/env bash
# Figures for the Windows program under Wine (not a test): exe size; wake-ups
# a second (voluntary context switches of all threads) and CPU of the program
# and of its wineserver, next to an idle Notepad with a wineserver of its own
# (its own prefix) over the same seconds; how often the title changes; the
# lag of each caption after the second of Wine's tick count it shows (every
# title change stamped by kq-title-watch on the raw monotonic clock, the one
# Wine counts its tick count on); and every caption before the first running
# one (the design and disabled captions; never cell texts).
# Usage: tests/e2e/win32/measure.sh [SECONDS] (KQ_EXE overrides the exe)
set -euo pipefail
cd "$(dirname "$0")/../../.."
. tests/e2e/lib.sh
seconds=${1:-30}
# Where this kernel runs no 32-bit programs, the 64-bit build stands in.
export WINE_ARCH=${WINE_ARCH:-$(wine_arch)}
default_exe=build/win32/app/KQ-REZ-V1.exe
[ "$WINE_ARCH" = win64 ] && default_exe=build/win64/app/KQ-REZ-V1.exe
kq_exe=$(realpath "${KQ_EXE:-$default_exe}")
cmake --preset release >/dev/null
cmake --build --preset release --target kq-title-watch --parallel 2 >/dev/null
watch=$(realpath build/release/bench/desktop/kq-title-watch)
echo "exe size: $(stat -c %s "$kq_exe") bytes ($WINE_ARCH)"

e2e_begin
notepad_prefix=$e2e_tmp/prefix-notepad
e2e_before_cleanup() {
  stop_wine_prefix
  WINEPREFIX=$notepad_prefix timeout 30 wineserver -k 2>/dev/null || true
}
start_desktop 1024x768
start_wine_prefix
WINEPREFIX=$notepad_prefix timeout 300 wineboot --init >"$e2e_tmp/wineboot-notepad.log" 2>&1 || fail "wineboot failed"
WINEPREFIX=$notepad_prefix timeout 120 wineserver -w || true

# The program, started by the watcher so that no title escapes it.
(cd "$(dirname "$kq_exe")" && exec "$watch" --clock raw --seconds $((seconds + 40)) -- wine "$(basename "$kq_exe")") \
  >"$e2e_tmp/titles.log" 2>"$e2e_tmp/app.log" &
remember $!
wait_for 30 grep -q '^pid ' "$e2e_tmp/titles.log" || fail "the watcher did not start the program"
kq_app_pid=$(awk '/^pid / { print $2 }' "$e2e_tmp/titles.log")
remember "$kq_app_pid"
main=$(find_window 120 '^KQ-DADEDED: [0-9]+d, ') || fail "no running caption"
(cd "$e2e_tmp" && WINEPREFIX=$notepad_prefix exec wine notepad) >"$e2e_tmp/notepad.log" 2>&1 &
notepad_pid=$!
remember "$notepad_pid"
find_window 60 'Notepad$' >/dev/null || fail "notepad did not start"
sleep 3

in_prefix() {  # in_prefix PATTERN PREFIX: the process of that prefix whose command matches
  local pid
  for pid in $(pgrep -f "$1" || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$2"; then echo "$pid"; break; fi
  done
}
server=$(in_prefix '^[^ ]*wineserver' "$WINEPREFIX")
notepad_server=$(in_prefix '^[^ ]*wineserver' "$notepad_prefix")
notepad=$(in_prefix 'notepad' "$notepad_prefix")
cpu_ns() { [ -n "$1" ] && cut -d' ' -f1 "/proc/$1/schedstat" 2>/dev/null || echo 0; }
wake_ups() { [ -n "$1" ] && cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }' || echo 0; }
# The GUI thread alone: the rest are Wine's own, as busy in any program.
gui_wake_ups() { [ -n "$1" ] && awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/task/$1/status" 2>/dev/null || echo 0; }

declare -A cpu0 wake0 gui0
for who in kq_app_pid server notepad notepad_server; do
  cpu0[$who]=$(cpu_ns "${!who}") wake0[$who]=$(wake_ups "${!who}") gui0[$who]=$(gui_wake_ups "${!who}")
done
from=$(date +%s%N)
sleep "$seconds"
to=$(date +%s%N)
printf '%-28s %9s %12s %8s\n' "" "wakes/s" "GUI thread" "% core"
total_kq=0 total_notepad=0
for who in kq_app_pid server notepad notepad_server; do
  cpu=$(($(cpu_ns "${!who}") - ${cpu0[$who]})) wakes=$(($(wake_ups "${!who}") - ${wake0[$who]}))
  gui=$(($(gui_wake_ups "${!who}") - ${gui0[$who]}))
  case $who in
    kq_app_pid) label="KQ-REZ-V1.exe" total_kq=$((total_kq + cpu)) ;;
    server) label="  its wineserver" total_kq=$((total_kq + cpu)) ;;
    notepad) label="idle notepad.exe" total_notepad=$((total_notepad + cpu)) ;;
    notepad_server) label="  its wineserver" total_notepad=$((total_notepad + cpu)) ;;
  esac
  awk -v l="$label" -v c="$cpu" -v w="$wakes" -v g="$gui" -v s="$seconds" \
    'BEGIN { printf "%-28s %9.2f %12.2f %8.3f\n", l, w / s, g / s, 100 * c / 1e9 / s }'
done
awk -v a="$total_kq" -v b="$total_notepad" -v s="$seconds" 'BEGIN {
  printf "program + wineserver above notepad + wineserver: %.3f %% of a core\n", 100 * (a - b) / 1e9 / s }'

# Captions: wait for the watcher's own end, then read its log.
kill "$notepad_pid" 2>/dev/null || true
sleep 1
awk '
  /^(start|pid) / { next }
  {
    at = $1 + 0; text = $0; sub(/^[^ ]+ [^ ]+ /, "", text)
    if (text !~ /^KQ-DADEDED: /) next
    if (text ~ /^KQ-DADEDED: [0-9]+d, [0-9]+h, [0-9]+m, [0-9]+s$/) {
      running = 1
      n = split(text, f, /[:,dhms ]+/)
      shown = ((f[n - 4] * 24 + f[n - 3]) * 60 + f[n - 2]) * 60 + f[n - 1]
      lags[++count] = at - shown * 1000
      if (count == 1) first_at = at
      last_at = at
    } else if (!running) {
      before = before (before == "" ? "" : " | ") text
      if (text ~ /[A-Z]_TB/) ++cells
    }
  }
  END {
    printf "captions before the first running one: %s (%d with cell texts)\n", before, cells
    if (count == 0) { print "no running caption"; exit }
    for (i = 1; i <= count; ++i) for (j = i; j > 1 && lags[j - 1] > lags[j]; --j) { t = lags[j]; lags[j] = lags[j - 1]; lags[j - 1] = t }
    rate = count > 1 ? (count - 1) / ((last_at - first_at) / 1000) : 0
    printf "running captions: %d, %.2f a second\n", count, rate
    printf "lag after the second of Wine'"'"'s tick count, ms: min %.1f median %.1f p99 %.1f max %.1f\n",
      lags[1], lags[int((count + 1) / 2)], lags[int((count - 1) * 0.99) + 1], lags[count]
  }' "$e2e_tmp/titles.log"
