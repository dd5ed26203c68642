#!/usr/bin/env bash
# One desktop of the matrix: the desktop program under the window manager a
# desktop uses, looked at from outside. Writes OUT/NAME.txt ("key: value"
# lines: figures, what was seen, and one "check NAME: pass|fail|n/a ..." line
# per check) and OUT/NAME.png (main window with the About dialog), and fails
# when a check fails. What a window manager decides for itself (its title
# buttons, whether the whole caption fits) is recorded, not judged.
# Usage: desktops.sh openbox|xfwm4|mutter|kwin|weston|openbox-192dpi PROGRAM WM_POKE OUT
# weston runs in a private mount and network namespace (its XWayland takes
# the lowest free display number, which must collide with no one's).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
desktop=$1
program=$(realpath "$2")
poke=$(realpath "$3")
mkdir -p "$4"
out=$(realpath "$4")
result="$out/$desktop.txt"
: >"$result"

if [ "$desktop" = weston ] && [ -z "${KQ_E2E_PRIVATE:-}" ]; then
  exec env KQ_E2E_PRIVATE=1 unshare --mount --net --fork -- bash "$0" "$@"
fi
if [ -n "${KQ_E2E_PRIVATE:-}" ]; then
  # A /tmp of our own: XWayland's lock file and sockets stay in here.
  mount -t tmpfs tmpfs /tmp
  mkdir -m 1777 /tmp/.X11-unix
fi

e2e_begin
e2e_logs="$out/$desktop-logs"
rm -rf "$e2e_logs"
use_own_settings "$program"
record() { printf '%s: %s\n' "$1" "$2" >>"$result"; }
failures=0
check() { # check NAME pass|fail|n/a DETAIL
  record "check $1" "$2${3:+ ($3)}"
  say "$1: $2${3:+ ($3)}"
  [ "$2" != fail ] || failures=$((failures + 1))
}

# --- The desktop ---------------------------------------------------------------
case $desktop in
  weston)
    export XDG_RUNTIME_DIR="$e2e_tmp/run"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    t0=$(now_ms)
    weston --backend=headless-backend.so --socket=kq-desk-weston --xwayland --width=1280 --height=1024 \
      --idle-time=0 >"$e2e_tmp/weston.log" 2>&1 &
    remember $!
    listening() { grep -q 'xserver listening on display' "$e2e_tmp/weston.log"; }
    wait_for 30 listening || fail "weston did not start: $(tail -5 "$e2e_tmp/weston.log")"
    export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$e2e_tmp/weston.log" | head -1)
    export WAYLAND_DISPLAY=kq-desk-weston
    # XWayland starts on the first X client; its window manager comes with it.
    wait_for 30 wm_ready || fail "no X window manager in weston: $(tail -5 "$e2e_tmp/weston.log")"
    wm_start_ms=$(($(now_ms) - t0))
    ;;
  openbox-192dpi)
    start_x 2560x2048 -dpi 192
    xrdb -merge <<<"Xft.dpi: 192"
    start_wm openbox
    ;;
  *)
    start_x
    start_wm "$desktop"
    ;;
esac
dpi=$(xrdb -query 2>/dev/null | sed -n "s/^Xft.dpi:[[:space:]]*//p" || true)
[ -n "$dpi" ] || dpi=$(xdpyinfo | awk '/resolution:/ { split($2, r, "x"); d = r[1] } END { print d }')
[ -n "$dpi" ] || dpi=96
record "window manager" "$(xprop -id "$(xprop -root _NET_SUPPORTING_WM_CHECK | sed 's/.*# //')" _NET_WM_NAME 2>/dev/null | sed -n 's/.* = "\(.*\)"/\1/p')"
record "window manager start ms" "$wm_start_ms"
record "dpi" "$dpi"
supported=$(xprop -root _NET_SUPPORTED 2>/dev/null || true)
supports() { grep -q "$1" <<<"$supported"; }

program_pid=
main=
# The close button: through the window manager where it offers that.
close_window() { if supports _NET_CLOSE_WINDOW; then "$poke" close "$1"; else "$poke" delete "$1"; fi; }
close_program() {
  close_window "$main"
  wait_gone "$program_pid" 15 || fail "the program did not end on close"
}
running_caption() { caption_seconds "$(title_of "$main")" >/dev/null; }

# title_text W FILE: the text the window manager draws in W's title bar,
# read by OCR; FILE gets the title bar's picture.
title_text() {
  local frame fx fy fw cy
  frame=$(toplevel_of "$1")
  read -r fx fy fw _ < <(client_geometry "$frame")
  read -r _ cy _ _ < <(client_geometry "$1")
  ((cy > fy)) || { echo ""; return; }
  import -window "$frame" -crop "${fw}x$((cy - fy))+0+0" +repage "$2" 2>/dev/null || { echo ""; return; }
  # Black round the frame (a shadow with nothing behind it) throws the reader off.
  convert "$2" -fuzz 8% -trim +repage -resize "$((400 * 96 / dpi))%" -colorspace gray -normalize "$2.ocr.png"
  tesseract "$2.ocr.png" - --psm 7 2>/dev/null | tr -s ' \n' ' '
}

# --- First start: empty store, default size ------------------------------------------
echo "== $desktop: first start"
t0=$(now_ms)
start_program mapped
wait_for 20 running_caption || fail "no running caption: '$(title_of "$main")'"
record "time to first caption ms" "$(($(now_ms) - t0))"
read -r _ _ width height < <(client_geometry "$main")
record "client size" "${width}x$height"
record "frame extents" "$(frame_of "$main" || true)"

if supports _NET_WM_STATE_SKIP_TASKBAR; then
  if has_state "$main" _NET_WM_STATE_SKIP_TASKBAR; then check taskbar pass "skip-taskbar set and kept"; else check taskbar fail "no skip-taskbar"; fi
else
  check taskbar n/a "the window manager has no taskbar state"
fi

actions=$(xprop -id "$main" _NET_WM_ALLOWED_ACTIONS 2>/dev/null || true)
buttons=()
grep -q _NET_WM_ACTION_MINIMIZE <<<"$actions" && buttons+=(minimise)
grep -q _NET_WM_ACTION_MAXIMIZE <<<"$actions" && buttons+=(maximise)
grep -q _NET_WM_ACTION_CLOSE <<<"$actions" && buttons+=(close)
if grep -q ' = ' <<<"$actions"; then
  record "allowed actions" "${buttons[*]}"
else
  record "allowed actions" "not published"
fi

sleep 1.2 # a caption of the second after, drawn
import -window "$(toplevel_of "$main")" "$e2e_tmp/main-default.png" 2>/dev/null || true
caption=$(title_of "$main")
seen=$(title_text "$main" "$out/$desktop-title-running.png")
record "caption" "$caption"
record "title bar reads" "$seen"
if ocr_contains "$seen" "$caption" || ocr_contains "$seen" "$(title_of "$main")"; then
  record "running caption" "whole"
else
  record "running caption" "cut"
fi

# The keeper: another application's window in front loses to ours, and keeps the keyboard.
xmessage -title kq-e2e-other -geometry +150+40 "another application" >/dev/null 2>&1 &
other_pid=$!
remember "$other_pid"
wait_for 10 window_exists '^kq-e2e-other$' || fail "no other window"
other=$(window_named '^kq-e2e-other$')
if supports _NET_WM_STATE_ABOVE && supports _NET_ACTIVE_WINDOW; then
  xdotool windowactivate "$other" >/dev/null 2>&1 || true
  in_front() { [ "$("$poke" active)" = "$other" ]; }
  if ! wait_for 5 in_front; then
    check keeper fail "cannot bring another window to the front"
  else
    kept() { has_state "$main" _NET_WM_STATE_ABOVE; }
    t1=$(now_ms)
    if wait_for 5 kept; then
      ms=$(($(now_ms) - t1))
      sleep 2.2 # two more keeper ticks
      if in_front; then check keeper pass "above within $ms ms, focus left with the other window"; else check keeper fail "took the focus"; fi
    else
      check keeper fail "never above: $(xprop -id "$main" _NET_WM_STATE)"
    fi
  fi
else
  check keeper n/a "the window manager offers no above state or active window"
fi

# Iconified by the window manager: back at once, focus left where it was.
if supports _NET_ACTIVE_WINDOW; then xdotool windowactivate "$other" >/dev/null 2>&1 || true; sleep 0.5; fi
active_before=$("$poke" active)
# Every WM_STATE the window passes through: the way back may be quicker than any poll.
# xprop reads the state when it hears of a change, so a quick enough way back
# shows only Normal there; the unmap that iconifying does is seen by xev.
stdbuf -oL xprop -spy -id "$main" WM_STATE >"$e2e_tmp/wm_state.txt" 2>/dev/null &
spy=$!
remember "$spy"
stdbuf -oL xev -id "$main" -event structure >"$e2e_tmp/structure.txt" 2>/dev/null &
structure_spy=$!
remember "$structure_spy"
sleep 0.3
"$poke" iconify "$main"
back() { is_normal "$main" && xwininfo -id "$main" | grep -q IsViewable; }
sleep 0.5
wait_for 5 back || true
sleep 0.5
kill "$spy" "$structure_spy" 2>/dev/null || true
if ! grep -q Iconic "$e2e_tmp/wm_state.txt" && ! grep -q UnmapNotify "$e2e_tmp/structure.txt"; then
  check iconify n/a "the window manager did not iconify it"
elif ! back; then
  check iconify fail "left iconified ($(wm_state "$main"))"
elif [ "$("$poke" active)" != "$active_before" ]; then
  check iconify fail "back, but took the focus"
else
  check iconify pass "back at the first look after 0.5 s, focus not taken"
fi
kill "$other_pid" 2>/dev/null || true

close_program
stored=$(for key in MAIN_Left MAIN_Top AlwaysOnTop_TICKBOX AUTOSTART_TICKBOX; do
  [ -n "$(ini_get "$settings" "$section" $key)" ] && echo "$key=$(ini_get "$settings" "$section" $key)"; done | tr '\n' ' ')
if [ "$(wc -w <<<"$stored")" = 4 ]; then check settings pass "$stored"; else check settings fail "wrote '$stored'"; fi

# --- Second start: a taller window to double-click; the About dialog -------------------
echo "== $desktop: the About dialog"
if [ "$desktop" = weston ]; then
  # The headless backend has no pointer: XWayland crashes on synthetic clicks.
  check about n/a "no pointer in the headless compositor"
  convert "$e2e_tmp/main-default.png" -fuzz 8% -trim +repage -bordercolor black -border 6 -colors 64 \
    "png8:$out/$desktop.png" 2>/dev/null && record "screenshot" "$out/$desktop.png"
else
  # The dialog below the main window, so that both show and a click on one misses the other.
  sed -i "s/^\[$section\]\$/&\nMAIN_Height=1500\nABOUT_Left=1000\nABOUT_Top=3000/" "$settings"
  start_program mapped
  wait_for 10 running_caption || fail "no running caption on restart"
  read -r _ _ _ height < <(client_geometry "$main")
  xdotool mousemove --window "$main" 20 $((height / 2)) click --repeat 2 --delay 120 1
  if ! about=$(find_window 10 '^KQ-DADEDED - ABOUT$'); then
    check about fail "a double-click opened no About dialog"
  else
    wait_for 5 bash -c "[ \"\$(xprop -id $about WM_STATE 2>/dev/null | grep -c Normal)\" = 1 ]" || true
    sleep 2.2 # the keeper has ticked twice with the dialog in front
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed 's/.*# //' | tr -d ' ' | tr ',' '\n')
    above_main() {
      local i_main i_about
      i_main=$(grep -nx "$(printf '0x%x' "$main")" <<<"$stacking" | cut -d: -f1)
      i_about=$(grep -nx "$(printf '0x%x' "$about")" <<<"$stacking" | cut -d: -f1)
      [ -n "$i_main" ] && [ -n "$i_about" ] && ((i_about > i_main))
    }
    owned=$(xprop -id "$about" WM_TRANSIENT_FOR 2>/dev/null | grep -c "$(printf '0x%x' "$main")" || true)
    # The picture: the main window at its default size, the dialog below it.
    shot="$out/$desktop.png"
    rm -f "$shot"
    xdotool mousemove 0 0 2>/dev/null || true
    sleep 0.3
    import -window "$(toplevel_of "$about")" "$e2e_tmp/about.png" 2>/dev/null &&
      convert "$e2e_tmp/main-default.png" -size 1x12 xc:black "$e2e_tmp/about.png" -background black -gravity west \
        -append -bordercolor black -border 6 -colors 64 "png8:$shot" 2>/dev/null || true
    [ -f "$shot" ] && record "screenshot" "$shot"

    # Modal: the main window takes no double-click while the dialog is open.
    xdotool mousemove --window "$main" 20 $((height / 2)) click --repeat 2 --delay 120 1 2>/dev/null || true
    sleep 1
    count=$(xdotool search --name '^KQ-DADEDED - ABOUT$' 2>/dev/null | wc -l)
    topmost=$(has_state "$main" _NET_WM_STATE_ABOVE && echo "main topmost" || echo "main not topmost")
    if [ -z "$stacking" ]; then
      position="no stacking list"
      [ "$owned" = 1 ] && [ "$count" = 1 ] && check about pass "owned, modal, $position; $topmost" ||
        check about fail "owned $owned, dialogs $count"
    elif above_main; then
      [ "$owned" = 1 ] && [ "$count" = 1 ] && check about pass "owned, modal, above the main window; $topmost" ||
        check about fail "owned $owned, dialogs $count"
    else
      check about fail "below the main window; $topmost"
    fi

    close_window "$about"
    gone() { ! window_exists '^KQ-DADEDED - ABOUT$'; }
    wait_for 10 gone || fail "the About dialog did not close"
  fi
  close_program
fi

# --- Third start: AutoStart off, default size: the longest caption there is -----------
echo "== $desktop: the disabled caption"
disabled="KQ-DADEDED: TIMERS DISABLED !!!"
printf '[%s]\nAUTOSTART_TICKBOX=0\n' "$section" >"$settings"
start_program mapped
wait_for 5 title_is_of "$main" "$disabled" || fail "AutoStart off, yet '$(title_of "$main")'"
sleep 0.5
seen=$(title_text "$main" "$out/$desktop-title-disabled.png")
record "title bar reads (AutoStart off)" "$seen"
if ocr_contains "$seen" "$disabled"; then record "disabled caption" "whole"; else record "disabled caption" "cut"; fi
close_program

record "failures" "$failures"
((failures == 0))
