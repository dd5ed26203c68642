# Helpers for every end-to-end run: the Linux desktop and terminal faces,
# the Windows program under Wine and the desktop matrix. Sourcing defines
# functions only; e2e_begin makes the run's folder and the exit trap.
# Everything started is recorded by pid and ended by that pid on exit.
#
# KQ_E2E_DISPLAYS="FIRST LAST" (or FIRST-LAST): the X display numbers a run
# may take (default 100 to 899); KQ_E2E_KEEP=1 keeps the run's folder.

say() { printf '  %s\n' "$*"; }
fail() {
  printf 'FAIL: %s\n' "$*" >&2
  exit 1
}

# --- The run: a folder, the processes it started, clean-up -----------------

# e2e_begin: e2e_tmp is the run's folder; e2e_logs (if set by then) receives
# its *.log files at the end.
e2e_begin() {
  e2e_pids=()
  e2e_tmp=$(mktemp -d "${TMPDIR:-/tmp}/kq-e2e.XXXXXX")
  trap e2e_cleanup EXIT
  trap 'exit 143' TERM INT HUP
}

e2e_cleanup() {
  set +e # best effort, and all of it must run
  local pid i
  declare -F e2e_before_cleanup >/dev/null && e2e_before_cleanup
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do kill "${e2e_pids[i]}" 2>/dev/null; done
  for pid in "${e2e_pids[@]}"; do
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null
  done
  if [ -n "${e2e_logs:-}" ] && [ -d "${e2e_tmp:-}" ]; then
    mkdir -p "$e2e_logs" && cp "$e2e_tmp"/*.log "$e2e_logs"/ 2>/dev/null
  fi
  [ -n "${KQ_E2E_KEEP:-}" ] || rm -rf "${e2e_tmp:-/nonexistent}"
  return 0
}

# remember PID: ended when the run ends (if still running).
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
wait_gone() { timeout "$2" tail --pid="$1" -f /dev/null 2>/dev/null; }

# Milliseconds since an arbitrary start, for figures.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- A display and a window manager ----------------------------------------

# start_x [WIDTHxHEIGHT [XVFB ARGS...]]: a fresh Xvfb on a free display
# number, DISPLAY exported. Other sessions may hold numbers this one cannot
# see as lock files, so a number counts as ours only once our own server is
# up and still running on it. -noreset: a server that resets whenever its last
# client leaves refuses the clients that arrive meanwhile, and the checks
# below connect and leave many times before the window manager is up.
start_x() {
  local size=${1:-1280x1024} range=${KQ_E2E_DISPLAYS:-100 899} n xvfb attempt first last
  shift || true
  read -r first last <<<"${range/-/ }"
  unset DISPLAY
  for attempt in $(seq 30); do
    n=$((first + (RANDOM + $$ + attempt) % (last - first + 1)))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset "$@" >>"$e2e_tmp/xvfb.log" 2>&1 &
    xvfb=$!
    ours() {
      kill -0 "$xvfb" 2>/dev/null && [ "$(tr -dc 0-9 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb" ] &&
        xdpyinfo -display ":$n" >/dev/null 2>&1
    }
    if wait_for 10 ours && sleep 0.3 && kill -0 "$xvfb" 2>/dev/null; then
      remember "$xvfb"
      export DISPLAY=":$n"
      return 0
    fi
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  done
  fail "no free display for Xvfb in $range"
}

# A window manager is up once the check window it names on the root exists
# (a window manager that died leaves the name behind).
wm_ready() {
  local id
  id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$id" ] && xwininfo -id "$id" >/dev/null 2>&1
}

# A private session bus for this run, ended with it.
start_session_bus() {
  local info
  info=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$info")
  remember "$(sed -n 2p <<<"$info")"
}

# start_wm NAME: the window manager a desktop uses, on DISPLAY, started as it
# runs without a full session (a private session bus where it wants one);
# wm_pid is the process, wm_start_ms how long it took to manage windows.
# A window manager that dies before it manages anything is started once more
# (said on stdout): on a loaded machine the first start can lose a race with
# the display that has nothing to do with the program under test.
start_wm() {
  local name=$1 log="$e2e_tmp/$1.log" t0 attempt
  t0=$(now_ms)
  case $name in mutter | kwin | xfwm4) start_session_bus ;; esac
  for attempt in 1 2; do
    case $name in
      openbox) openbox --sm-disable >"$log" 2>&1 & ;;
      xfwm4) xfwm4 --compositor=off --sm-client-disable >"$log" 2>&1 & ;;
      mutter) mutter --x11 --replace --sm-disable >"$log" 2>&1 & ;;
      # No compositing: software OpenGL on a virtual display only costs CPU.
      kwin) KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb kwin_x11 --replace >"$log" 2>&1 & ;;
      *) fail "unknown window manager $name" ;;
    esac
    wm_pid=$!
    remember "$wm_pid"
    wm_alive() { kill -0 "$wm_pid" 2>/dev/null; }
    wm_up_or_gone() { wm_ready || ! wm_alive; }
    wait_for 60 wm_up_or_gone
    if wm_alive; then
      wm_ready || break # alive but never ready: no retry
      wm_start_ms=$(($(now_ms) - t0))
      return 0
    fi
    ((attempt == 1)) || break
    say "$name ended at start ($(grep -v '^\s*$' "$log" | head -1)); starting it again"
    mv "$log" "$e2e_tmp/$name-first-start.log"
  done
  fail "$name did not start: $(grep -v '^\s*$' "$log" | head -8)"
}

# start_desktop: a display with openbox, as most runs use.
start_desktop() {
  start_x "$@"
  start_wm openbox
  say "desktop on $DISPLAY"
}

# --- Windows, seen from outside ---------------------------------------------

# The title the window manager shows for a window.
title_of() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
title_is_of() { [ "$(title_of "$1")" = "$2" ]; }

window_exists() { xdotool search --name "$1" >/dev/null 2>&1; }
# The first window whose title matches an extended regular expression.
window_named() { xdotool search --name "$1" 2>/dev/null | head -1; }
# The same among mapped windows only.
visible_window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
# find_window SECONDS REGEX: prints the id of the first mapped match.
find_window() {
  local end=$((SECONDS + $1)) id
  while ((SECONDS < end)); do
    id=$(visible_window_named "$2")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# The window manager has taken the window on: it has a frame.
framed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q ' = '; }
has_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q "$2"; }
# WM_STATE: Normal, Iconic, Withdrawn or nothing.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: \(.*\)/\1/p'; }
not_normal() { [ "$(wm_state "$1")" != Normal ]; }
is_normal() { [ "$(wm_state "$1")" = Normal ]; }

# frame_of W: "left right top bottom" from _NET_FRAME_EXTENTS.
frame_of() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p'; }

# client_geometry W: "x y width height" of the client area on the screen.
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w, h }'
}
# Position of the client area: "X Y".
position_of() { client_geometry "$1" | cut -d' ' -f1,2; }

# The window manager's frame: the ancestor of W that is a child of the root.
toplevel_of() {
  local w=$1 parent root
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  while parent=$(xwininfo -id "$w" -tree 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [ -n "$parent" ] && [ "$((parent))" != "$((root))" ]; do
    w=$parent
  done
  echo "$w"
}

# near A B TOLERANCE
near() { local d=$(($1 - $2)); ((d < 0)) && d=$((-d)); ((d <= $3)); }

# --- The program under test ---------------------------------------------------

# start_program [framed|mapped]: starts $program (its output goes to
# program.log); program_pid and main are set once the main window exists and
# the window manager has framed it (the default), or only mapped it (for a
# window manager that publishes no frame).
start_program() {
  local ready=${1:-framed}
  "$program" >>"$e2e_tmp/program.log" 2>&1 &
  program_pid=$!
  remember "$program_pid"
  wait_for 20 window_exists '^KQ-DADEDED: ' || fail "the main window did not appear"
  main=$(window_named '^KQ-DADEDED: ')
  case $ready in
    framed) wait_for 10 framed "$main" || fail "no frame around the main window" ;;
    mapped) wait_for 10 is_normal "$main" || fail "the window manager did not map the main window" ;;
    *) fail "start_program: unknown readiness $ready" ;;
  esac
}

# --- Captions ----------------------------------------------------------------

# The caption in seconds: "KQ-DADEDED: 1d, 2h, 3m, 4s" -> 93784; fails otherwise.
caption_seconds() {
  [[ $1 =~ ^KQ-DADEDED:\ ([0-9]+)d,\ ([0-9]+)h,\ ([0-9]+)m,\ ([0-9]+)s$ ]] || return 1
  echo $((BASH_REMATCH[1] * 86400 + BASH_REMATCH[2] * 3600 + BASH_REMATCH[3] * 60 + BASH_REMATCH[4]))
}

# Agrees with /proc/uptime within 3 s: the Linux faces count from
# CLOCK_BOOTTIME, the clock /proc/uptime reads, in 64 bits that never wrap.
caption_matches_uptime() {
  local shown up
  shown=$(caption_seconds "$1") || return 1
  up=$(cut -d' ' -f1 /proc/uptime | cut -d. -f1)
  local difference=$((shown - up))
  ((difference < 0)) && difference=$((-difference))
  ((difference <= 3))
}

# ocr_contains TEXT WANTED: WANTED appears in TEXT read by OCR, letters,
# digits and "!" only, with at most one misread character in ten, and TEXT
# shows no ellipsis.
ocr_contains() {
  awk -v text="$1" -v wanted="$2" 'BEGIN {
    # An ellipsis: the window manager has cut the title.
    if (index(text, "...") || index(text, "\342\200\246")) exit 1
    text = toupper(text); wanted = toupper(wanted)
    gsub(/[^A-Z0-9!]/, "", text); gsub(/[^A-Z0-9!]/, "", wanted)
    # Letters and digits OCR mistakes for each other count as one.
    gsub(/O/, "0", text); gsub(/O/, "0", wanted); gsub(/[IL!|]/, "1", text); gsub(/[IL!]/, "1", wanted)
    gsub(/S/, "5", text); gsub(/S/, "5", wanted); gsub(/B/, "8", text); gsub(/B/, "8", wanted)
    n = length(wanted); m = length(text); allowed = int(n / 10)
    if (n == 0) exit 1
    # The fewest edits that turn wanted into some part of text.
    for (j = 0; j <= m; j++) prev[j] = 0
    for (i = 1; i <= n; i++) {
      cur[0] = i; a = substr(wanted, i, 1)
      for (j = 1; j <= m; j++) {
        c = prev[j - 1] + (a != substr(text, j, 1))
        if (prev[j] + 1 < c) c = prev[j] + 1
        if (cur[j - 1] + 1 < c) c = cur[j - 1] + 1
        cur[j] = c
      }
      for (j = 0; j <= m; j++) prev[j] = cur[j]
    }
    best = n
    for (j = 0; j <= m; j++) if (prev[j] < best) best = prev[j]
    exit !(best <= allowed)
  }'
}

# --- The Linux program's settings file ---------------------------------------

# A settings folder of the run's own, and where PROGRAM keeps its values.
use_own_settings() {
  export XDG_CONFIG_HOME="$e2e_tmp/config"
  mkdir -p "$XDG_CONFIG_HOME"
  settings="$XDG_CONFIG_HOME/KQ_REZ/settings.ini"
  section=$(basename "$1")
}

# ini_get FILE SECTION KEY: the value, or nothing.
ini_get() {
  awk -v section="[$2]" -v key="$3" '
    /^[ \t]*\[/ { gsub(/^[ \t]+|[ \t]+$/, ""); in_section = ($0 == section); next }
    in_section && index($0, "=") {
      k = substr($0, 1, index($0, "=") - 1); v = substr($0, index($0, "=") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", k); gsub(/^[ \t]+|[ \t]+$/, "", v)
      if (k == key) { print v; exit }
    }' "$1" 2>/dev/null
}

# twips_to_px TWIPS: pixels at the display's DPI (as the program converts).
twips_to_px() { awk -v t="$1" -v d="$dpi" 'BEGIN { v = t * d / 1440; printf "%d", (v < 0 ? -int(-v + 0.5) : int(v + 0.5)) }'; }

# --- The Windows program under Wine ------------------------------------------

# Which Windows build this machine can run under Wine: win32, or win64 where
# the kernel runs no 32-bit programs (its 32-bit support can be switched off
# at boot, and Wine's 32-bit loader then fails with "Exec format error").
wine_arch() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

# A fresh Wine prefix of WINE_ARCH (win32 unless set) on the current display,
# with a home of its own, Wine's fonts copied in and Arial mapped to
# Liberation Sans.
start_wine_prefix() {
  export HOME=$e2e_tmp/home WINEPREFIX=$e2e_tmp/prefix WINEARCH=${WINE_ARCH:-win32} WINEDEBUG=-all
  if [ "$WINEARCH" = win64 ]; then
    # Debian's wine and its tools start the 32-bit loader whenever it is
    # installed; this prefix must use the 64-bit one.
    mkdir -p "$e2e_tmp/bin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$e2e_tmp/bin/wine"
    chmod +x "$e2e_tmp/bin/wine"
    cp "$e2e_tmp/bin/wine" "$e2e_tmp/bin/wine-stable"
    export PATH=$e2e_tmp/bin:$PATH WINELOADER=/usr/lib/wine/wine64
  fi
  export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko prompt in the fresh prefix
  export XDG_RUNTIME_DIR=$e2e_tmp/run XDG_CONFIG_HOME=$e2e_tmp/home/.config
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  timeout 300 wineboot --init >"$e2e_tmp/wineboot.log" 2>&1 || fail "wineboot failed"
  timeout 120 wineserver -w || true
  # One wineserver for the whole run, so each start of the program is quick.
  wineserver -p || true
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
}

# Ends the prefix's wineserver and everything running in it.
stop_wine_prefix() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then timeout 30 wineserver -k 2>/dev/null || true; fi
}

wine_reg() { timeout 60 wine reg "$@" 2>/dev/null | tr -d '\r'; }

wine_key='HKCU\Software\KQ_REZ\KQ-REZ-V1'
# The stored text of one key, empty when missing.
wine_stored() {
  wine_reg query "$wine_key" /v "$1" | awk -v key="$1" '$1 == key && $2 ~ /^REG_/ { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
wine_store() { wine_reg add "$wine_key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null || fail "cannot store $1"; }
wine_stored_is() { [ "$(wine_stored "$1")" = "$2" ]; }

# Starts EXE under Wine in its own folder; wine_app_pid is the process.
start_wine_app() {
  (cd "$(dirname "$1")" && exec wine "$(basename "$1")") >>"$e2e_tmp/app.log" 2>&1 &
  wine_app_pid=$!
  remember "$wine_app_pid"
}

# Waits SECONDS for the program to end, after a close request.
wait_wine_app_exit() { wait_gone "$wine_app_pid" "$1"; }
