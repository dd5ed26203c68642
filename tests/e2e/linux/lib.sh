# Helpers for the Linux end-to-end checks (sourced). Every process started
# here is recorded by pid and killed on exit; waits poll with generous limits.

e2e_pids=()
e2e_tmp=$(mktemp -d /tmp/kq-e2e.XXXXXX)

say() { printf '  %s\n' "$*"; }
fail() {
  printf 'FAIL: %s\n' "$*" >&2
  exit 1
}

e2e_cleanup() {
  local pid
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
    pid=${e2e_pids[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${e2e_pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  [ -n "${KQ_E2E_KEEP:-}" ] || rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT
trap 'exit 143' TERM INT HUP

# remember PID: killed when the script ends (if still running).
remember() { e2e_pids+=("$1"); }

# wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds.
wait_for() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# wait_gone PID SECONDS: the process has ended.
wait_gone() { wait_for "$2" bash -c "! kill -0 $1 2>/dev/null"; }

# A fresh Xvfb on a free display number, and openbox on it. Other sessions
# may hold display numbers this one cannot see as lock files, so a number
# counts as ours only once our own server is up and still running on it.
# KQ_E2E_DISPLAYS="FIRST LAST" keeps to a range of display numbers.
start_desktop() {
  local n xvfb attempt first last
  read -r first last <<<"${KQ_E2E_DISPLAYS:-100 899}"
  unset DISPLAY
  for attempt in $(seq 30); do
    n=$((first + (RANDOM + $$ + attempt) % (last - first + 1)))
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$e2e_tmp/xvfb.log" 2>&1 &
    xvfb=$!
    ours() { kill -0 "$xvfb" 2>/dev/null && [ "$(cat "/tmp/.X$n-lock" 2>/dev/null | tr -dc 0-9)" = "$xvfb" ] &&
      xdpyinfo -display ":$n" >/dev/null 2>&1; }
    if wait_for 10 ours && sleep 0.5 && kill -0 "$xvfb" 2>/dev/null; then
      remember "$xvfb"
      export DISPLAY=":$n"
      break
    fi
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  done
  [ -n "${DISPLAY:-}" ] || fail "no free display for Xvfb"
  openbox --sm-disable >"$e2e_tmp/openbox.log" 2>&1 &
  local wm=$!
  remember "$wm"
  wm_ready() { kill -0 "$wm" 2>/dev/null && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
  wait_for 20 wm_ready || fail "openbox did not start: $(cat "$e2e_tmp/openbox.log")"
  say "desktop on $DISPLAY"
}

# The caption in seconds: "KQ-DADEDED: 1d, 2h, 3m, 4s" -> 93784; fails otherwise.
caption_seconds() {
  [[ $1 =~ ^KQ-DADEDED:\ ([0-9]+)d,\ ([0-9]+)h,\ ([0-9]+)m,\ ([0-9]+)s$ ]] || return 1
  echo $((BASH_REMATCH[1] * 86400 + BASH_REMATCH[2] * 3600 + BASH_REMATCH[3] * 60 + BASH_REMATCH[4]))
}

# Agrees with /proc/uptime within 3 s (the tick count wraps after 2^32 ms, so
# either the full or the wrapped uptime).
caption_matches_uptime() {
  local shown up
  shown=$(caption_seconds "$1") || return 1
  up=$(cut -d' ' -f1 /proc/uptime | cut -d. -f1)
  local wrapped=$(((up * 1000 % 4294967296) / 1000))
  local d1=$((shown - up)) d2=$((shown - wrapped))
  ((d1 < 0)) && d1=$((-d1))
  ((d2 < 0)) && d2=$((-d2))
  ((d1 <= 3 || d2 <= 3))
}

# ini_get FILE SECTION KEY: the value, or nothing.
# A settings folder of the run's own, and where PROGRAM keeps its values.
use_own_settings() {
  export XDG_CONFIG_HOME="$e2e_tmp/config"
  mkdir -p "$XDG_CONFIG_HOME"
  settings="$XDG_CONFIG_HOME/KQ_REZ/settings.ini"
  section=$(basename "$1")
}

ini_get() {
  awk -v section="[$2]" -v key="$3" '
    /^[ \t]*\[/ { gsub(/^[ \t]+|[ \t]+$/, ""); in_section = ($0 == section); next }
    in_section && index($0, "=") {
      k = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", k); gsub(/^[ \t]+|[ \t]+$/, "", v)
      if (k == key) { print v; exit }
    }' "$1" 2>/dev/null
}

# The title the window manager shows for a window.
title_of() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

window_exists() { xdotool search --name "$1" >/dev/null 2>&1; }
# The window manager has taken the window on: it has a frame.
framed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q ' = '; }

# The first window whose title matches an extended regular expression.
window_named() { xdotool search --name "$1" 2>/dev/null | head -1; }

# twips_to_px TWIPS: pixels at the display's DPI (as the program converts).
twips_to_px() { awk -v t="$1" -v d="$dpi" 'BEGIN { v = t * d / 1440; printf "%d", (v < 0 ? -int(-v + 0.5) : int(v + 0.5)) }'; }

# frame_of W: "left right top bottom" from _NET_FRAME_EXTENTS.
frame_of() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p'; }

# client_geometry W: "x y width height" of the client area on the screen.
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w, h }'
}

has_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q "$2"; }

# near A B TOLERANCE
near() { local d=$(($1 - $2)); ((d < 0)) && d=$((-d)); ((d <= $3)); }
