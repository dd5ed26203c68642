#!/usr/bin/env bash
# What the program costs on Linux at rest, side by side in one run with conky
# showing only the uptime once a second. Each runs alone for a while on its
# own Xvfb with openbox (the terminal face with no display at all), and the
# figures printed are: wake-ups a second (voluntary context switches of all
# its threads), CPU a minute, resident memory, the CPU of the X server and of
# the window manager a minute, and for the program's title bar the lag of
# each caption after the boot-clock second it shows (every title change
# stamped on CLOCK_BOOTTIME by kq-title-watch), the captions that do not read
# the whole seconds of the uptime at the moment they appear, and the time to
# the first running caption from the start and from the window's first title.
# Not a test: it prints figures and passes whatever they are.
# Usage: bench/linux-desktop.sh [SECONDS]   (default 60)
#   KQ_PROGRAM=path measures another build; KQ_COMPARE=path adds a row for a
#   second build (an older one, say) in the same run; KQ_E2E_DISPLAYS as for
#   the end-to-end runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
source tests/e2e/lib.sh
e2e_begin

cmake --preset release >/dev/null
targets=(kq-title-watch)
[ -n "${KQ_PROGRAM:-}" ] || targets+=(kq-rez-v1)
cmake --build --preset release --target "${targets[@]}" --parallel 2 >/dev/null
program=$(realpath "${KQ_PROGRAM:-build/release/app/kq-rez-v1}")
watch=$(realpath build/release/bench/desktop/kq-title-watch)
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
cpu_ns() { cut -d' ' -f1 "/proc/$1/schedstat"; }
# Times the process (any of its threads) went to sleep and was woken.
wake_ups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'; }
boot_ms() { awk '{ printf "%d", $1 * 1000 }' /proc/uptime; }
per_minute() { awk -v ns="$1" -v s="$seconds" 'BEGIN { printf "%.3f", ns / 1e9 * 60 / s }'; }

# Caption figures from a kq-title-watch log: captions stamped in [FROM, TO]
# boot ms; "lag min/median/p99/max ms, odd captions/captions, start ms" where
# start is from the program's start and from its window's first title to the
# first running caption.
caption_figures() {
  awk -v from="$2" -v to="$3" '
    /^start / { start = $2; next }
    / KQ-DADEDED/ && shown_at == "" { shown_at = $1 + 0 }
    /^[0-9.]+ 0x[0-9a-f]+ KQ-DADEDED: [0-9]+d, [0-9]+h, [0-9]+m, [0-9]+s$/ {
      at = $1 + 0
      if (first == "") first = at
      if (at < from || at > to) next
      n = split($0, f, /[:,dhms ]+/)
      d = f[n - 4]; h = f[n - 3]; m = f[n - 2]; s = f[n - 1]
      shown = ((d * 24 + h) * 60 + m) * 60 + s
      lags[++count] = at - shown * 1000
      whole = int(at / 1000)
      want = sprintf("KQ-DADEDED: %dd, %dh, %dm, %ds", int(whole / 86400), int(whole % 86400 / 3600),
                     int(whole % 3600 / 60), whole % 60)
      text = $0; sub(/^[^ ]+ [^ ]+ /, "", text)
      if (text != want) ++odd
    }
    END {
      if (count == 0) { print "- - - - 0/0 -"; exit }
      for (i = 1; i <= count; ++i) for (j = i; j > 1 && lags[j - 1] > lags[j]; --j) { t = lags[j]; lags[j] = lags[j - 1]; lags[j - 1] = t }
      p99 = lags[int((count - 1) * 0.99) + 1]
      printf "%.1f %.1f %.1f %.1f %d/%d %s\n", lags[1], lags[int((count + 1) / 2)], p99, lags[count], odd, count,
        (start != "" && first != "") ? sprintf("%.0f/%.0f", first - start, first - shown_at) : "-"
    }' "$1"
}

row() { printf '%-24s %8s %8s %7s %8s %8s %8s  %-26s %7s %15s\n' "$@"; }

# measure LABEL watched|desktop|terminal [COMMAND...]: one row of figures.
measure() {
  local label=$1 where=$2
  shift 2
  local xvfb="" wm="" pid="" log="$e2e_tmp/watch-${#e2e_pids[@]}.log"
  if [ "$where" != terminal ]; then  # desktop, watched (the title stamped) or none
    start_desktop >/dev/null
    xvfb=${e2e_pids[-2]} wm=$wm_pid
  fi
  local config="$e2e_tmp/config-${#e2e_pids[@]}"
  if [ "$where" = watched ]; then
    "$watch" --clock boot --seconds $((seconds + 6)) -- env XDG_CONFIG_HOME="$config" "$@" >"$log" 2>/dev/null &
    remember $!
    wait_for 10 grep -q '^pid ' "$log" || fail "$label did not start"
    pid=$(awk '/^pid / { print $2 }' "$log")
    remember "$pid"
  elif [ $# -gt 0 ]; then
    if [ "$where" = terminal ]; then
      env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$config" "$@" </dev/null >"$log" 2>&1 &
    else
      env XDG_CONFIG_HOME="$config" "$@" >/dev/null 2>&1 &
    fi
    pid=$!
    remember "$pid"
  fi
  sleep 3  # past start-up
  local from p0=0 w0=0 x0=0 m0=0
  from=$(boot_ms)
  [ -n "$pid" ] && { p0=$(cpu_ns "$pid"); w0=$(wake_ups "$pid"); }
  [ -n "$xvfb" ] && { x0=$(cpu_ns "$xvfb"); m0=$(cpu_ns "$wm"); }
  sleep "$seconds"
  local to p1=0 w1=0 x1=0 m1=0 rss="-" wakes="-" cpu="-" xs="-" ms="-" xm="-"
  to=$(boot_ms)
  if [ -n "$pid" ]; then
    p1=$(cpu_ns "$pid"); w1=$(wake_ups "$pid")
    rss=$(awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
    wakes=$(awk -v n=$((w1 - w0)) -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')
    cpu=$(per_minute $((p1 - p0)))
  fi
  if [ -n "$xvfb" ]; then
    x1=$(cpu_ns "$xvfb"); m1=$(cpu_ns "$wm")
    xs=$(per_minute $((x1 - x0))); ms=$(per_minute $((m1 - m0))); xm=$(per_minute $((x1 - x0 + m1 - m0)))
  fi
  local lag="-" odd="-" start="-"
  if grep -q '^pid ' "$log" 2>/dev/null; then
    sleep 4  # the watcher ends on its own
    read -r lmin lmed lp99 lmax odd start < <(caption_figures "$log" "$from" "$to")
    lag="$lmin/$lmed/$lp99/$lmax"
  fi
  row "$label" "$wakes" "$cpu" "$rss" "$xs" "$ms" "$xm" "$lag" "$odd" "$start"
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait_gone "$pid" 10 || true; fi
  if [ -n "$xvfb" ]; then
    kill "$wm" "$xvfb" 2>/dev/null || true
    wait "$wm" "$xvfb" 2>/dev/null || true
  fi
  unset DISPLAY
}

echo "Each alone for $seconds s after 3 s of start-up. CPU in seconds a minute; lag in ms after the"
echo "boot-clock second each caption shows; odd: captions not reading the uptime's whole seconds."
row "" "wakes/s" "CPU s/m" "RSS MB" "Xvfb s/m" "WM s/m" "X+WM s/m" "lag min/med/p99/max ms" "odd" "start/window ms"
measure kq-rez-v1 watched "$program"
[ -n "${KQ_COMPARE:-}" ] && measure "kq-rez-v1 (compared)" watched "$(realpath "$KQ_COMPARE")"
measure "conky (uptime, 1 s)" desktop conky -c "$e2e_tmp/conky.conf"
measure "nothing (baseline)" desktop
measure "kq-rez-v1 terminal face" terminal "$program"
echo "Targets: kq-rez-v1 at most 1.5 wake-ups a second (desktop and terminal), CPU no more than conky's,"
echo "lag p99 at most 10 ms, no odd caption, X + WM no more than twice conky's, first running caption within
50 ms of the window."
