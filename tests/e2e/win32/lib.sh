# Helpers for the Windows program's end-to-end test under Wine (sourced).
# Everything started here is recorded and ended by its pid in kq_stop_all.

kq_started_pids=()
kq_fail() { echo "FAIL: $*" >&2; exit 1; }
kq_note() { echo "  $*"; }

# kq_wait SECONDS COMMAND...: polls COMMAND every 0.2 s until it succeeds.
kq_wait() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

# A fresh world: temp HOME and 32-bit WINEPREFIX, Xvfb on a free display
# with openbox, Wine's fonts copied in and Arial mapped to Liberation Sans.
kq_start_world() {
  kq_tmp=$(mktemp -d /tmp/kq-win32-e2e.XXXXXX)
  export HOME=$kq_tmp/home WINEPREFIX=$kq_tmp/prefix WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompt in the fresh prefix
  export XDG_RUNTIME_DIR=$kq_tmp/run XDG_CONFIG_HOME=$kq_tmp/home/.config
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

  # A display number nobody holds, away from the low ones other tools pick
  # (KQ_E2E_DISPLAYS="FIRST LAST" keeps to a range); another try on another
  # number if this one was taken meanwhile.
  local attempt number xvfb_pid first last
  read -r first last <<<"${KQ_E2E_DISPLAYS:-200 799}"
  export DISPLAY=
  for attempt in 1 2 3 4 5; do
    number=$((first + RANDOM % (last - first + 1)))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >>"$kq_tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    kq_started_pids+=($xvfb_pid)
    local end=$((SECONDS + 30))
    while kill -0 "$xvfb_pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do
      if xprop -display ":$number" -root >/dev/null 2>&1; then export DISPLAY=:$number; break; fi
      sleep 0.2
    done
    [ -n "$DISPLAY" ] && break
    kill "$xvfb_pid" 2>/dev/null || true
  done
  [ -n "$DISPLAY" ] || kq_fail "Xvfb did not start: $(tail -5 "$kq_tmp/xvfb.log")"
  local wm_up=
  for attempt in 1 2; do  # a second try when a busy machine held the first back
    openbox >>"$kq_tmp/openbox.log" 2>&1 &
    kq_started_pids+=($!)
    if kq_wait 60 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'; then
      wm_up=1; break
    fi
    kill "$!" 2>/dev/null || true
  done
  [ -n "$wm_up" ] || kq_fail "openbox did not start: $(tail -5 "$kq_tmp/openbox.log")"

  timeout 300 wineboot --init >"$kq_tmp/wineboot.log" 2>&1 || kq_fail "wineboot failed"
  timeout 120 wineserver -w || true
  # One wineserver for the whole run, so each start of the program is quick.
  wineserver -p || true
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  kq_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null
}

kq_stop_all() {
  set +e  # everything here is best effort, and all of it must run
  local pid
  [ -n "${kq_app_pid:-}" ] && kill "$kq_app_pid" 2>/dev/null
  [ -n "${kq_other_pid:-}" ] && kill "$kq_other_pid" 2>/dev/null
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then timeout 30 wineserver -k 2>/dev/null; fi
  for pid in "${kq_started_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${kq_started_pids[@]}"; do
    timeout 10 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null
  done
  # The run's logs stay with the artefacts.
  if [ -n "${kq_tmp:-}" ]; then
    [ -n "${kq_logs:-}" ] && mkdir -p "$kq_logs" && cp "$kq_tmp"/*.log "$kq_logs"/ 2>/dev/null
    rm -rf "$kq_tmp"
  fi
  return 0
}

kq_reg() { timeout 60 wine reg "$@" 2>/dev/null | tr -d '\r'; }

kq_key='HKCU\Software\KQ_REZ\KQ-REZ-V1'
# The stored text of one key, empty when missing.
kq_stored() {
  kq_reg query "$kq_key" /v "$1" | awk -v key="$1" '$1 == key && $2 ~ /^REG_/ { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
kq_store() { kq_reg add "$kq_key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null || kq_fail "cannot store $1"; }
kq_stored_is() { [ "$(kq_stored "$1")" = "$2" ]; }

# Starts the program; kq_app_pid is the process that runs it.
kq_start_app() {
  (cd "$(dirname "$kq_exe")" && exec wine "$(basename "$kq_exe")") >"$kq_tmp/app.log" 2>&1 &
  kq_app_pid=$!
}

# Waits for the program to end, after a close request.
kq_wait_app_exit() {
  timeout "$1" tail --pid="$kq_app_pid" -f /dev/null || return 1
  kq_app_pid=
}

# The id of the (first) mapped window whose title matches the regex, or nothing.
kq_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
kq_find_window() {  # kq_find_window SECONDS REGEX -> prints the id
  local end=$((SECONDS + $1)) id
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(kq_window "$2")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
kq_title() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
kq_title_is() { [ "$(kq_title "$1")" = "$2" ]; }
kq_gone() { ! xprop -id "$1" WM_STATE 2>/dev/null | grep -q Normal; }

# Seconds shown by a running caption, or nothing.
kq_caption_seconds() {
  sed -n 's/^KQ-DADEDED: \([0-9]\+\)d, \([0-9]\+\)h, \([0-9]\+\)m, \([0-9]\+\)s$/\1 \2 \3 \4/p' <<<"$1" \
    | awk '{ print $1 * 86400 + $2 * 3600 + $3 * 60 + $4 }'
}

# Absolute position of a window's client area: "X Y".
kq_position() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }'
}

# A click at client coordinates given in twips (the program's own unit; the
# test display has 96 DPI, so 15 twips a pixel).
kq_click_twips() {
  xdotool mousemove --window "$1" $(($2 / 15)) $(($3 / 15)) click 1
}
