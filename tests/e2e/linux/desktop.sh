#!/usr/bin/env bash
# The desktop program on a virtual display with openbox, driven from outside.
# Usage: desktop.sh PROGRAM WM_POKE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
e2e_begin
program=$(realpath "$1")
poke=$(realpath "$2")

use_own_settings "$program"
disabled="KQ-DADEDED: TIMERS DISABLED !!!"

start_desktop
dpi=$(xdpyinfo | awk '/resolution:/ { split($2, r, "x"); d = r[1] } END { print d }')

program_pid=
main=
close_program() {
  "$poke" close "$main"
  wait_gone "$program_pid" 15 || fail "the program did not end on close"
  wait "$program_pid" || fail "the program ended with status $?"
}

running_caption() { caption_seconds "$(title_of "$main")" >/dev/null; }
caption_advances() {
  local before
  before=$(caption_seconds "$(title_of "$main")") || return 1
  later() { local now; now=$(caption_seconds "$(title_of "$main")") && ((now > before)); }
  wait_for 5 later
}
title_is() { [ "$(title_of "$main")" = "$1" ]; }
stored_is() { [ "$(ini_get "$settings" "$section" "$1")" = "$2" ]; }

# outer_at W LEFT_TWIPS TOP_TWIPS: the outer frame's corner is there.
outer_at() {
  local x y w h l r t b
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(frame_of "$1")
  near $((x - l)) "$(twips_to_px "$2")" 1 && near $((y - t)) "$(twips_to_px "$3")" 1
}

echo "== first start, empty store"
start_program
wait_for 10 running_caption || fail "no running caption: '$(title_of "$main")'"
caption=$(title_of "$main")
caption_matches_uptime "$caption" || fail "caption '$caption' disagrees with /proc/uptime $(cat /proc/uptime)"
say "caption '$caption' agrees with /proc/uptime"
caption_advances || fail "the caption does not advance"
say "the caption advances"
outer_at "$main" 1000 1000 || fail "not at the default placement: $(client_geometry "$main") frame $(frame_of "$main")"
say "outer frame at 1000, 1000 twips"

has_state "$main" _NET_WM_STATE_SKIP_TASKBAR || fail "no _NET_WM_STATE_SKIP_TASKBAR"
read -r flags functions decorations < <(xprop -id "$main" _MOTIF_WM_HINTS | sed -n 's/.* = \(0x[0-9a-f]*\), \(0x[0-9a-f]*\), \(0x[0-9a-f]*\),.*/\1 \2 \3/p')
[ -n "${flags:-}" ] || fail "no _MOTIF_WM_HINTS"
# functions: no ALL(1), RESIZE(2), MINIMIZE(8), MAXIMIZE(16); CLOSE(32) kept.
# decorations: no ALL(1), RESIZEH(4), MINIMIZE(32), MAXIMIZE(64).
((flags & 3)) && ! ((functions & (1 | 2 | 8 | 16))) && ((functions & 32)) &&
  ! ((decorations & (1 | 4 | 32 | 64))) || fail "Motif hints $flags $functions $decorations"
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \([0-9]* by [0-9]*\)/\1/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \([0-9]* by [0-9]*\)/\1/p' <<<"$hints")
[ -n "$min" ] && [ "$min" = "$max" ] || fail "size hints min '$min' max '$max'"
icons=$(xprop -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (16 x 16) Icon (24 x 24) " ] || fail "icons: '$icons'"
say "skip taskbar, Motif hints ($functions, $decorations), size $min = $max, $icons"

echo "== always-on-top keeper"
xmessage -title kq-e2e-other -geometry +150+40 "a window in front" >/dev/null 2>&1 &
remember $!
other_pid=$!
wait_for 10 window_exists '^kq-e2e-other$' || fail "no other window"
other=$(window_named '^kq-e2e-other$')
# Ours in front first: the keeper has nothing to do, so the states below hold.
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
ours_in_front() { [ "$("$poke" active)" = "$main" ]; }
wait_for 5 ours_in_front || fail "cannot bring the main window to the front"
"$poke" above "$other" add
"$poke" above "$main" remove
set_up() { has_state "$other" _NET_WM_STATE_ABOVE && ! has_state "$main" _NET_WM_STATE_ABOVE; }
wait_for 5 set_up || fail "could not make the other window topmost and ours not"
sleep 1.5
set_up || fail "the keeper acted while the main window was in front"
xdotool windowactivate --sync "$other" >/dev/null 2>&1 || true
in_front() { [ "$("$poke" active)" = "$other" ]; }
wait_for 5 in_front || fail "the other window is not in front"
start=$(date +%s%N)
kept() { has_state "$main" _NET_WM_STATE_ABOVE && ! has_state "$other" _NET_WM_STATE_ABOVE; }
wait_for 5 kept || fail "keeper: ours '$(xprop -id "$main" _NET_WM_STATE)', other '$(xprop -id "$other" _NET_WM_STATE)'"
say "within $((($(date +%s%N) - start) / 1000000)) ms ours is above and the other is not"
kill "$other_pid"

echo "== moved, closed: the store gets the placement"
xdotool windowmove "$main" 300 200 >/dev/null
moved() { read -r x _ _ _ < <(client_geometry "$main") && near "$x" 300 40; }
wait_for 5 moved || fail "the window did not move: $(client_geometry "$main")"
read -r x y _ _ < <(client_geometry "$main")
read -r l _ t _ < <(frame_of "$main")
close_program
[ -f "$settings" ] || fail "no settings file at $settings"
for key in MAIN_Left MAIN_Top AlwaysOnTop_TICKBOX AUTOSTART_TICKBOX; do
  [ -n "$(ini_get "$settings" "$section" $key)" ] || fail "$key not written: $(cat "$settings")"
done
stored_left=$(ini_get "$settings" "$section" MAIN_Left)
stored_top=$(ini_get "$settings" "$section" MAIN_Top)
near "$(twips_to_px "$stored_left")" $((x - l)) 1 && near "$(twips_to_px "$stored_top")" $((y - t)) 1 ||
  fail "stored $stored_left, $stored_top twips for an outer frame at $((x - l)), $((y - t)) px"
say "stored MAIN_Left=$stored_left MAIN_Top=$stored_top"

echo "== taller window: double-click opens the About dialog"
sed -i "s/^\[$section\]\$/&\nMAIN_Height=1500/" "$settings"
start_program
outer_at "$main" "$stored_left" "$stored_top" || fail "restart is not at the stored placement"
say "restart at the stored placement"
read -r _ _ _ height < <(client_geometry "$main")
read -r _ _ t b < <(frame_of "$main")
near "$height" $(($(twips_to_px 1500) - t - b)) 1 || fail "client height $height for MAIN_Height 1500"
xdotool mousemove --window "$main" 20 $((height / 2)) click --repeat 2 --delay 120 1
wait_for 10 window_exists '^KQ-DADEDED - ABOUT$' || fail "no About dialog"
about=$(window_named '^KQ-DADEDED - ABOUT$')
wait_for 10 framed "$about" || fail "no frame around the About dialog"
xprop -id "$about" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$main")" || fail "the About dialog is not owned by the main window"
say "About dialog open, transient for the main window"
caption_advances || fail "the caption stops while the About dialog is open"
say "the caption keeps counting under the dialog"

# The AutoStart box: 3720, 1200 twips, 495 high; click on its box.
xdotool mousemove --window "$about" $(($(twips_to_px 3720) + 8)) "$(twips_to_px 1447)" click 1
wait_for 5 title_is "$disabled" || fail "AutoStart off did not disable: '$(title_of "$main")'"
wait_for 5 stored_is AUTOSTART_TICKBOX 0 || fail "AUTOSTART_TICKBOX not stored as 0"
sleep 1.5
[ "$(title_of "$main")" = "$disabled" ] || fail "the timers still run: '$(title_of "$main")'"
say "AutoStart off: '$disabled', AUTOSTART_TICKBOX=0"

# OK: 6000, 1200 twips, 2055 x 615.
xdotool mousemove --window "$about" "$(twips_to_px 7027)" "$(twips_to_px 1507)" click 1
about_gone() { ! window_exists '^KQ-DADEDED - ABOUT$'; }
wait_for 10 about_gone || fail "OK did not close the dialog"
[ -n "$(ini_get "$settings" "$section" ABOUT_Left)" ] || fail "ABOUT_Left not stored"
close_program
say "closed; ABOUT_Left=$(ini_get "$settings" "$section" ABOUT_Left)"

echo "== restart uses the store: AutoStart stays off"
start_program
sleep 2
[ "$(title_of "$main")" = "$disabled" ] || fail "restart ignored AUTOSTART_TICKBOX=0: '$(title_of "$main")'"
close_program
say "'$disabled' for the whole run"

echo "== SIGTERM with the About dialog open saves both windows"
start_program
xdotool windowmove "$main" 240 180 >/dev/null
main_moved() { read -r x _ _ _ < <(client_geometry "$main") && near "$x" 240 40; }
wait_for 5 main_moved || fail "the main window did not move: $(client_geometry "$main")"
read -r _ _ _ height < <(client_geometry "$main")
xdotool mousemove --window "$main" 20 $((height / 2)) click --repeat 2 --delay 120 1
wait_for 10 window_exists '^KQ-DADEDED - ABOUT$' || fail "no About dialog"
about=$(window_named '^KQ-DADEDED - ABOUT$')
wait_for 10 framed "$about" || fail "no frame around the About dialog"
xdotool windowmove "$about" 420 520 >/dev/null
about_moved() { read -r x _ _ _ < <(client_geometry "$about") && near "$x" 420 40; }
wait_for 5 about_moved || fail "the About dialog did not move: $(client_geometry "$about")"
sleep 0.3
read -r mx my _ _ < <(client_geometry "$main")
read -r ml _ mt _ < <(frame_of "$main")
read -r ax ay _ _ < <(client_geometry "$about")
read -r al _ at _ < <(frame_of "$about")
kill -TERM "$program_pid"
wait_gone "$program_pid" 15 || fail "the program did not end on SIGTERM"
wait "$program_pid" || fail "the program ended with status $? on SIGTERM"
stored_at() {  # stored_at PREFIX X_PX Y_PX: the stored Left/Top are that outer corner
  local left top
  left=$(ini_get "$settings" "$section" "${1}_Left") top=$(ini_get "$settings" "$section" "${1}_Top")
  [ -n "$left" ] && [ -n "$top" ] && near "$(twips_to_px "$left")" "$2" 1 && near "$(twips_to_px "$top")" "$3" 1 ||
    fail "stored ${1}_Left/Top '$left', '$top' for an outer frame at $2, $3 px"
}
stored_at MAIN $((mx - ml)) $((my - mt))
stored_at ABOUT $((ax - al)) $((ay - at))
say "stored MAIN at $(ini_get "$settings" "$section" MAIN_Left), $(ini_get "$settings" "$section" MAIN_Top) and ABOUT at $(ini_get "$settings" "$section" ABOUT_Left), $(ini_get "$settings" "$section" ABOUT_Top)"

echo "== garbled settings file: defaults, file kept"
{
  printf '\377\376\0binary junk\001\002\n'
  printf '[%s\nno closing bracket line\n==\n' "$section"
  printf '[%s]\nMAIN_Left=left of nowhere\nMAIN_Top=--7\nMAIN_Height=tall\n' "$section"
  printf 'AlwaysOnTop_TICKBOX=banana\nAUTOSTART_TICKBOX=\033[31m\nkeep this unknown line\n'
} >"$settings"
cp "$settings" "$e2e_tmp/garbled"
start_program
wait_for 10 running_caption || fail "no running caption on a garbled store: '$(title_of "$main")'"
outer_at "$main" 1000 1000 || fail "not at the default placement on a garbled store"
cmp -s "$settings" "$e2e_tmp/garbled" || fail "starting changed the garbled file"
close_program
grep -aq 'binary junk' "$settings" && grep -aq 'keep this unknown line' "$settings" ||
  fail "the garbled file lost its lines: $(cat -v "$settings")"
# 1000 twips is no whole number of pixels: the window, never moved, keeps its twips.
stored_is MAIN_Left 1000 && stored_is MAIN_Top 1000 ||
  fail "an unmoved window at 1000, 1000 twips stored as $(ini_get "$settings" "$section" MAIN_Left), $(ini_get "$settings" "$section" MAIN_Top)"
say "defaults on a garbled store; its lines survive the close; the unmoved window stored at 1000, 1000"

echo "== placement with no title bar on any screen is brought back"
printf '[%s]\nMAIN_Left=-50000\nMAIN_Top=90000\n' "$section" >"$settings"
start_program
read -r x y w h < <(client_geometry "$main")
read -r l r t b < <(frame_of "$main")
((x - l >= 0 && y - t >= 0 && x + w + r <= 1280 && y + h + b <= 1024)) ||
  fail "off-screen placement not mended: $x $y $w $h"
close_program
say "brought back to $((x - l)), $((y - t))"

echo "== Xft.dpi 192: placement and size from twips at the screen's DPI, the store in twips"
printf '[%s]\nMAIN_Left=1440\nMAIN_Top=720\nMAIN_Height=1500\n' "$section" >"$settings"
xrdb -merge <<<"Xft.dpi: 192"
dpi=192
start_program
outer_at "$main" 1440 720 || fail "not at 1440, 720 twips at 192 DPI: $(client_geometry "$main") frame $(frame_of "$main")"
read -r _ _ w h < <(client_geometry "$main")
read -r l r t b < <(frame_of "$main")
near $((w + l + r)) "$(twips_to_px 4410)" 1 && near $((h + t + b)) "$(twips_to_px 1500)" 1 ||
  fail "outer size $((w + l + r)) x $((h + t + b)) px for 4410 x 1500 twips at 192 DPI"
close_program
stored_is MAIN_Left 1440 && stored_is MAIN_Top 720 ||
  fail "stored $(ini_get "$settings" "$section" MAIN_Left), $(ini_get "$settings" "$section" MAIN_Top) at 192 DPI"
say "outer frame at 192, 96 px and 588 x 200 px; stored 1440, 720 twips"

echo "desktop: all passed"
