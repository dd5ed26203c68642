#!/usr/bin/env bash
# What the desktop program costs on Linux, next to conky showing only the
# uptime once a second: each runs alone for a while on its own Xvfb with
# openbox, and the CPU time of the program, the X server and the window
# manager over that time is printed, with the program's resident memory.
# Not a test: it prints figures and passes whatever they are.
# Usage: bench/linux-desktop.sh [SECONDS]   (default 60; KQ_PROGRAM=path measures another build)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source tests/e2e/linux/lib.sh

if [ -z "${KQ_PROGRAM:-}" ]; then  # another build of the program may be given
  cmake --preset release >/dev/null
  cmake --build --preset release --target kq-rez-v1 --parallel 2 >/dev/null
fi
program=$(realpath "${KQ_PROGRAM:-build/release/app/kq-rez-v1}")
command -v conky >/dev/null || fail "conky is not installed (scripts/deps.sh test)"

cat >"$e2e_tmp/conky.conf" <<'CONF'
conky.config = {
  out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
  update_interval = 1, double_buffer = true, use_xft = true, font = 'Liberation Sans:size=10',
  background = false, total_run_times = 0,
}
conky.text = [[${uptime}]]
CONF

# Time on the CPU in nanoseconds: schedstat counts every run exactly, where
# the tick-sampled utime/stime of /proc/PID/stat misses short wake-ups.
cpu_ticks() { cut -d' ' -f1 "/proc/$1/schedstat"; }
seconds_of() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1e9 }'; }

# measure LABEL COMMAND...: one row of figures.
measure() {
  local label=$1
  shift
  start_desktop >/dev/null
  local xvfb=${e2e_pids[-2]} wm=${e2e_pids[-1]} pid=""
  if [ $# -gt 0 ]; then
    env XDG_CONFIG_HOME="$e2e_tmp/config-$label" "$@" >/dev/null 2>&1 &
    pid=$!
    remember "$pid"
  fi
  sleep 3  # past start-up
  local p0=0 x0 w0
  [ -n "$pid" ] && p0=$(cpu_ticks "$pid")
  x0=$(cpu_ticks "$xvfb")
  w0=$(cpu_ticks "$wm")
  sleep "$seconds"
  local p1=0 x1 w1 rss="-"
  if [ -n "$pid" ]; then
    p1=$(cpu_ticks "$pid")
    rss=$(awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
  fi
  x1=$(cpu_ticks "$xvfb")
  w1=$(cpu_ticks "$wm")
  local program_cpu xvfb_cpu wm_cpu both
  program_cpu=$(seconds_of $((p1 - p0)))
  xvfb_cpu=$(seconds_of $((x1 - x0)))
  wm_cpu=$(seconds_of $((w1 - w0)))
  both=$(seconds_of $((x1 - x0 + w1 - w0)))
  printf '%-22s %9s %8s %8s %9s %9s %9s\n' "$label" "$program_cpu" \
    "$(awk -v c="$program_cpu" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * c / s }')" "$rss" \
    "$xvfb_cpu" "$wm_cpu" "$both"
  [ -n "$pid" ] && kill "$pid" && wait "$pid" 2>/dev/null || true
  kill "$wm" "$xvfb" 2>/dev/null || true
  wait "$wm" "$xvfb" 2>/dev/null || true
  unset DISPLAY
}

echo "Each for $seconds s, after 3 s of start-up; CPU in seconds on the CPU."
printf '%-22s %9s %8s %8s %9s %9s %9s\n' "" "CPU s" "% core" "RSS MB" "Xvfb s" "openbox s" "X + WM s"
measure kq-rez-v1 "$program"
measure "conky (uptime, 1 s)" conky -c "$e2e_tmp/conky.conf"
measure "nothing (baseline)"
echo "Targets: kq-rez-v1 at most 0.3 % of a core and 10 MB RSS; X + WM no more than with conky."
