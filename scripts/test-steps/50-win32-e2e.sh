#!/usr/bin/env bash
# End-to-end test of the 32-bit Windows program under Wine: builds the win32
# preset, then proves from outside the program (X properties, the registry,
# the file itself) that it behaves: running caption, frame, taskbar, icon,
# About dialog and options, stored placement, version record, import table.
# Artefacts (screenshot, logs) land in build/e2e-win32/. KQ_EXE runs another
# build of the program instead; KQ_UPDATE_DOCS=1 also refreshes the README's
# screenshot in docs/.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
. tests/e2e/win32/lib.sh

echo "building the win32 preset"
timeout 1200 cmake --preset win32 >/dev/null
timeout 1800 cmake --build --preset win32
kq_exe=${KQ_EXE:-$root/build/win32/app/KQ-REZ-V1.exe}
[ -f "$kq_exe" ] || kq_fail "no program at $kq_exe"
kq_exe=$(realpath "$kq_exe")
artefacts=$root/build/e2e-win32
mkdir -p "$artefacts"

# --- The file itself -------------------------------------------------------
imports=$(i686-w64-mingw32-objdump -p "$kq_exe")
for name in GetTickCount GetTickCount64 GetForegroundWindow SetWindowPos; do
  if grep -qE "^\s+[0-9a-f]+\s+[0-9]+\s+$name\$" <<<"$imports"; then kq_fail "$name is in the import table"; fi
done
dlls=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$imports" | sort -u | tr '\n' ' ')
for dll in $dlls; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|advapi32.dll|msvcrt.dll|shell32.dll) ;;
    *) kq_fail "the program needs $dll" ;;
  esac
done
kq_note "imports only system DLLs ($dlls), none of the name-bound functions"
grep -aq '<dpiAwareness[^>]*>PerMonitorV2' "$kq_exe" || kq_fail "the manifest does not declare per-monitor (v2) DPI awareness"
kq_note "the manifest declares per-monitor (v2) DPI awareness"
size=$(stat -c %s "$kq_exe")
kq_note "exe size: $size bytes"

kq_logs=$artefacts/logs
trap kq_stop_all EXIT
kq_start_world
kq_note "Wine prefix ready on display $DISPLAY"

# The version record, read back through the system's own version API.
i686-w64-mingw32-g++ -std=c++20 -Os -s -static -municode -o "$kq_tmp/version_reader.exe" \
  tests/e2e/win32/version_reader.cpp -lversion
version=$(timeout 60 wine "$kq_tmp/version_reader.exe" "$(timeout 60 winepath -w "$kq_exe" 2>/dev/null)" | tr -d '\r')
expected_version='FileVersion=1.00
ProductVersion=1.00
InternalName=KQ-DADEDED-V1
FileDescription=KQ-REZ-V1.exe
ProductName=RUVOREVA - KQ-REZ - V1  KQ-DADEDED - V1
FixedFileVersion=1.0.0.0'
[ "$version" = "$expected_version" ] || kq_fail "version record reads:
$version"
kq_note "version record exact"

# --- First run: running caption, frame, icon, About dialog ------------------
# A taller main window has a client area to double-click; the About dialog
# goes below it so one screenshot shows both.
kq_store MAIN_Height 1500
kq_store ABOUT_Top 2700
kq_start_app
main=$(kq_find_window 120 '^KQ-DADEDED: [0-9]+d, ') || kq_fail "no running caption (log: $(cat "$kq_tmp/app.log"))"

read -r before _ </proc/uptime
title=$(kq_title "$main")
read -r after _ </proc/uptime
shown=$(kq_caption_seconds "$title")
[ -n "$shown" ] || kq_fail "caption '$title' is not a running caption"
awk -v s="$shown" -v a="$before" -v b="$after" 'BEGIN { exit !(s >= int(a) - 1 && s <= b + 1) }' \
  || kq_fail "caption '$title' ($shown s) against uptime $before..$after"
kq_note "caption '$title' agrees with /proc/uptime ($before)"
advanced() { local now; now=$(kq_caption_seconds "$(kq_title "$main")"); [ -n "$now" ] && [ "$now" -gt "$shown" ]; }
kq_wait 5 advanced || kq_fail "caption does not advance"
kq_note "caption advances"

state=$(xprop -id "$main" _NET_WM_STATE)
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" || kq_fail "taskbar entry: $state"
motif=$(xprop -id "$main" _MOTIF_WM_HINTS | sed 's/.*= //')
IFS=', ' read -r flags functions _ <<<"$motif"
(( (flags & 1) && !(functions & 0x1a) && (functions & 0x20) )) \
  || kq_fail "motif hints allow resize/minimise/maximise or forbid close: $motif"
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \(.*\)/\1/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \(.*\)/\1/p' <<<"$hints")
[ -n "$min" ] && [ "$min" = "$max" ] || kq_fail "size hints let the window resize: $hints"
# The icon: a 16 x 16 image of opaque bright green and black only, with both.
icon16=$(xprop -id "$main" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | sed 's/^_NET_WM_ICON//' | tr -d ' ' | tr ',' '\n' \
  | awk 'BEGIN { at = 1 } NR == at { w = $0 + 0 } NR == at + 1 { h = $0 + 0; if (w == 16 && h == 16) { from = NR + 1 } else { at = NR + 1 + w * h } }
         from && NR >= from && NR < from + 256 { print }' | sort | uniq -c)
# 0xff00ff00 and 0xff000000: opaque green and opaque black
grep -q ' 4278255360$' <<<"$icon16" && grep -q ' 4278190080$' <<<"$icon16" \
  && [ "$(wc -l <<<"$icon16")" -eq 2 ] || kq_fail "no green-on-black 16 x 16 icon: $icon16"
kq_note "skip-taskbar, no resize/minimise/maximise ($motif, min = max = $min), KQ icon"

read -r main_x main_y <<<"$(kq_position "$main")"
xdotool mousemove --window "$main" 100 40 click --repeat 2 --delay 80 1
about=$(kq_find_window 30 '^KQ-DADEDED - ABOUT$') || kq_fail "double-click opened no About dialog"
kq_note "double-click in the client area opens the About dialog"
sleep 0.5  # let the dialog paint before the picture
timeout 30 import -window root "$artefacts/screen.png"
read -r about_x about_y <<<"$(kq_position "$about")"
x0=$((main_x - 10)) y0=$((main_y - 30))
convert "$artefacts/screen.png" -crop "$((about_x + 586 - x0))x$((about_y + 146 - y0))+$x0+$y0" +repage \
  -colors 64 "$artefacts/screenshot.png"
[ "${KQ_UPDATE_DOCS:-}" = 1 ] && cp "$artefacts/screenshot.png" "$root/docs/screenshot-win32.png"

# The keyboard: Escape does not close the dialog; from OK, the first Tab
# reaches AutoStart (tab index 7) and Space switches it.
timeout 10 xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key Escape
sleep 0.5
[ -n "$(kq_window '^KQ-DADEDED - ABOUT$')" ] || kq_fail "Escape closed the About dialog"
xdotool key Tab space
disabled() { kq_title_is "$main" "KQ-DADEDED: TIMERS DISABLED !!!"; }
kq_wait 10 disabled || kq_fail "caption after Tab, Space: $(kq_title "$main")"
kq_wait 20 kq_stored_is AUTOSTART_TICKBOX 0 || kq_fail "AUTOSTART_TICKBOX stored '$(kq_stored AUTOSTART_TICKBOX)'"
kq_note "Escape ignored; Tab, Space switch AutoStart off"

# Clicks on the AutoStart box: on again, then off.
running() { [ -n "$(kq_caption_seconds "$(kq_title "$main")")" ]; }
kq_click_twips "$about" $((3720 + 120)) $((1200 + 247))
kq_wait 10 running || kq_fail "caption after AutoStart on: $(kq_title "$main")"
kq_wait 20 kq_stored_is AUTOSTART_TICKBOX 1 || kq_fail "AUTOSTART_TICKBOX stored '$(kq_stored AUTOSTART_TICKBOX)'"
kq_click_twips "$about" $((3720 + 120)) $((1200 + 247))
kq_wait 10 disabled || kq_fail "caption after AutoStart off: $(kq_title "$main")"
kq_wait 20 kq_stored_is AUTOSTART_TICKBOX 0 || kq_fail "AUTOSTART_TICKBOX stored '$(kq_stored AUTOSTART_TICKBOX)'"
sleep 1.2
disabled || kq_fail "engine still runs: $(kq_title "$main")"
kq_note "clicking AutoStart: on (running caption, '1'), off (disabled caption, '0')"

kq_click_twips "$about" $((6000 + 1000)) $((1200 + 300))  # OK
kq_wait 10 kq_gone "$about" || kq_fail "OK did not close the dialog"
[ "$(kq_stored ABOUT_Left)" = 1000 ] && [ "$(kq_stored ABOUT_Top)" = 2700 ] \
  || kq_fail "About position stored as $(kq_stored ABOUT_Left), $(kq_stored ABOUT_Top)"
kq_note "OK closes the dialog and stores its position (1000, 2700)"

# Another program in front: within about a second the keeper makes the main
# window topmost (through the name-bound SetWindowPos), and it leaves the
# keyboard with the program in front.
(cd "$kq_tmp" && exec wine notepad) >"$kq_tmp/notepad.log" 2>&1 &
kq_other_pid=$!
other=$(kq_find_window 60 'Notepad$') || kq_fail "notepad did not start"
timeout 10 xdotool windowactivate --sync "$other" 2>/dev/null || true
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
kq_wait 10 above || kq_fail "the keeper did not make the main window topmost: $(xprop -id "$main" _NET_WM_STATE)"
sleep 2.2  # two more keeper ticks
[ "$(xdotool getactivewindow 2>/dev/null)" = "$other" ] || kq_fail "the keeper took the keyboard from the window in front"
timeout 60 wine taskkill /f /im notepad.exe >/dev/null 2>&1 || true
timeout 30 tail --pid="$kq_other_pid" -f /dev/null || kq_fail "notepad did not end"
kq_other_pid=
kq_note "the keeper keeps the main window topmost and leaves the focus where it is"

# Move the main window, then close it as the system would (no /f).
xdotool windowmove "$main" 300 250
moved() { [ "$(kq_position "$main")" != "$main_x $main_y" ]; }
kq_wait 10 moved || kq_fail "the window did not move"
sleep 0.3
read -r moved_x moved_y <<<"$(kq_position "$main")"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || kq_fail "taskkill failed"
kq_wait_app_exit 30 || kq_fail "the program did not end on a close request"
left=$(kq_stored MAIN_Left); top=$(kq_stored MAIN_Top)
[[ $left =~ ^-?[0-9.]+$ && $top =~ ^-?[0-9.]+$ && $left != 1000 ]] || kq_fail "stored main placement '$left', '$top'"
[ "$(kq_stored AlwaysOnTop_TICKBOX)" = 1 ] && [ "$(kq_stored AUTOSTART_TICKBOX)" = 0 ] \
  || kq_fail "stored options $(kq_stored AlwaysOnTop_TICKBOX), $(kq_stored AUTOSTART_TICKBOX)"
kq_note "close writes MAIN_Left $left, MAIN_Top $top and both options"

# --- Restart: the stored placement and options are used --------------------
kq_start_app
main=$(kq_find_window 60 '^KQ-DADEDED: ') || kq_fail "no window on restart"
kq_wait 5 kq_title_is "$main" "KQ-DADEDED: TIMERS DISABLED !!!" || kq_fail "restart caption: $(kq_title "$main")"
[ "$(kq_position "$main")" = "$moved_x $moved_y" ] || kq_fail "restart at $(kq_position "$main"), not $moved_x $moved_y"
sleep 1.2
kq_title_is "$main" "KQ-DADEDED: TIMERS DISABLED !!!" || kq_fail "AutoStart off, yet: $(kq_title "$main")"
kq_note "restart uses the stored position and AutoStart off"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || kq_fail "taskkill failed"
kq_wait_app_exit 30 || kq_fail "the program did not end on a close request"

# --- Garbled values start on their defaults ---------------------------------
kq_store MAIN_Left 'zz-not-a-number'
kq_store AUTOSTART_TICKBOX '1x'
kq_start_app
main=$(kq_find_window 60 '^KQ-DADEDED: [0-9]+d, ') || kq_fail "garbled store: no running caption"
read -r x y <<<"$(kq_position "$main")"
[ "$x" = "$main_x" ] && [ "$y" = "$moved_y" ] || kq_fail "garbled MAIN_Left: window at $x $y"
kq_note "garbled MAIN_Left and AUTOSTART_TICKBOX start on their defaults"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || kq_fail "taskkill failed"
kq_wait_app_exit 30 || kq_fail "the program did not end on a close request"
[ "$(kq_stored MAIN_Left)" = 1000 ] || kq_fail "MAIN_Left after garbled start: $(kq_stored MAIN_Left)"

# --- A title bar on no monitor comes back onto the screen -------------------
kq_store MAIN_Left -300000
kq_start_app
main=$(kq_find_window 60 '^KQ-DADEDED: ') || kq_fail "off-screen store: no window"
read -r x y <<<"$(kq_position "$main")"
(( x >= 0 && x < 1024 && y >= 0 && y < 768 )) || kq_fail "off-screen window left at $x $y"
kq_note "a window stored off every monitor comes back at $x $y"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || kq_fail "taskkill failed"
kq_wait_app_exit 30 || kq_fail "the program did not end on a close request"

# --- The session ends while the About dialog is open ------------------------
# Both windows' placements and the options are saved all the same.
kq_store MAIN_Left 1500
kq_store MAIN_Top 1500
kq_store MAIN_Height 1500
kq_store ABOUT_Left 1000
kq_store ABOUT_Top 2700
kq_reg delete "$kq_key" /v AlwaysOnTop_TICKBOX /f >/dev/null || true
kq_start_app
main=$(kq_find_window 60 '^KQ-DADEDED: ') || kq_fail "session end: no window"
read -r main_x main_y <<<"$(kq_position "$main")"
xdotool windowmove "$main" 200 150
kq_wait 10 moved || kq_fail "the window did not move"
xdotool mousemove --window "$main" 100 40 click --repeat 2 --delay 80 1
about=$(kq_find_window 30 '^KQ-DADEDED - ABOUT$') || kq_fail "session end: no About dialog"
read -r about_x about_y <<<"$(kq_position "$about")"
xdotool windowmove "$about" 400 420
about_moved() { [ "$(kq_position "$about")" != "$about_x $about_y" ]; }
kq_wait 10 about_moved || kq_fail "the About dialog did not move"
sleep 0.3
timeout 120 wine wineboot --end-session >/dev/null 2>&1 || true  # the program's end is the check
kq_wait_app_exit 60 || kq_fail "the program did not end with the session"
for key in MAIN_Left MAIN_Top ABOUT_Left ABOUT_Top; do
  value=$(kq_stored $key)
  [[ $value =~ ^-?[0-9.]+$ ]] || kq_fail "$key stored as '$value' at session end"
done
[ "$(kq_stored MAIN_Left)" != 1500 ] && [ "$(kq_stored MAIN_Top)" != 1500 ] \
  || kq_fail "the main window's place was not saved at session end: $(kq_stored MAIN_Left), $(kq_stored MAIN_Top)"
[ "$(kq_stored ABOUT_Left)" != 1000 ] && [ "$(kq_stored ABOUT_Top)" != 2700 ] \
  || kq_fail "the About dialog's place was not saved at session end: $(kq_stored ABOUT_Left), $(kq_stored ABOUT_Top)"
[ "$(kq_stored AlwaysOnTop_TICKBOX)" = 1 ] || kq_fail "the options were not saved at session end"
kq_note "session end with the About dialog open saves MAIN $(kq_stored MAIN_Left), $(kq_stored MAIN_Top), ABOUT $(kq_stored ABOUT_Left), $(kq_stored ABOUT_Top) and the options"

echo "win32 end-to-end: all passed (screenshot: build/e2e-win32/screenshot.png)"
