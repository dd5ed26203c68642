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
. tests/e2e/lib.sh

# kq_click_twips WINDOW X Y [DPI]: a click at client coordinates given in
# twips (the program's own unit) at the prefix's DPI (96 unless given).
kq_click_twips() { xdotool mousemove --window "$1" $(($2 * ${4:-96} / 1440)) $(($3 * ${4:-96} / 1440)) click 1; }

echo "building the win32 preset"
timeout 1200 cmake --preset win32 >/dev/null
timeout 1800 cmake --build --preset win32
kq_exe=${KQ_EXE:-$root/build/win32/app/KQ-REZ-V1.exe}
[ -f "$kq_exe" ] || fail "no program at $kq_exe"
kq_exe=$(realpath "$kq_exe")
artefacts=$root/build/e2e-win32
mkdir -p "$artefacts"

# --- The file itself -------------------------------------------------------
imports=$(i686-w64-mingw32-objdump -p "$kq_exe")
for name in GetTickCount GetTickCount64 GetForegroundWindow SetWindowPos; do
  if grep -qE "^\s+[0-9a-f]+\s+[0-9]+\s+$name\$" <<<"$imports"; then fail "$name is in the import table"; fi
done
dlls=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$imports" | sort -u | tr '\n' ' ')
for dll in $dlls; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|advapi32.dll|msvcrt.dll|shell32.dll) ;;
    *) fail "the program needs $dll" ;;
  esac
done
say "imports only system DLLs ($dlls), none of the name-bound functions"
grep -aq '<dpiAwareness[^>]*>PerMonitorV2' "$kq_exe" || fail "the manifest does not declare per-monitor (v2) DPI awareness"
say "the manifest declares per-monitor (v2) DPI awareness"
size=$(stat -c %s "$kq_exe")
[ -n "${KQ_EXE:-}" ] || [ "$size" -le 250000 ] || fail "the exe has $size bytes, more than 250,000"
say "exe size: $size bytes"

# The runs below need Wine to start the program. Where this kernel runs no
# 32-bit programs, the 64-bit build of the same source stands in for it.
export WINE_ARCH=${WINE_ARCH:-$(wine_arch)}
build=win32
if [ "$WINE_ARCH" = win64 ] && [ -z "${KQ_EXE:-}" ]; then
  echo "NOTE: this kernel runs no 32-bit programs (32-bit support off at boot); the 32-bit file is checked above, and the runs below use the 64-bit build of the same source"
  timeout 1200 cmake --preset win64 >/dev/null
  timeout 1800 cmake --build --preset win64
  kq_exe=$(realpath "$root/build/win64/app/KQ-REZ-V1.exe")
  build=win64
fi

e2e_logs=$artefacts/logs
e2e_begin
e2e_before_cleanup() { stop_wine_prefix; }
start_desktop 1024x768
start_wine_prefix
say "Wine prefix ready on display $DISPLAY"

# The version record, read back through the system's own version API.
version_reader=$root/build/$build/tests/e2e/kq-version-reader.exe
[ -f "$version_reader" ] || fail "no $version_reader: the $build preset builds it"
version=$(timeout 60 wine "$version_reader" "$(timeout 60 winepath -w "$kq_exe" 2>/dev/null)" | tr -d '\r')
expected_version='FileVersion=1.00
ProductVersion=1.00
InternalName=KQ-DADEDED-V1
FileDescription=KQ-REZ-V1.exe
ProductName=RUVOREVA - KQ-REZ - V1  KQ-DADEDED - V1
FixedFileVersion=1.0.0.0'
[ "$version" = "$expected_version" ] || fail "version record reads:
$version"
say "version record exact"

# --- First run: running caption, frame, icon, About dialog ------------------
# A taller main window has a client area to double-click; the About dialog
# goes below it so one screenshot shows both.
wine_store MAIN_Height 1500
wine_store ABOUT_Top 2700
start_wine_app "$kq_exe"
main=$(find_window 120 '^KQ-DADEDED: [0-9]+d, ') || fail "no running caption (log: $(cat "$e2e_tmp/app.log"))"

read -r before _ </proc/uptime
title=$(title_of "$main")
read -r after _ </proc/uptime
shown=$(caption_seconds "$title") ||
  fail "caption '$title' is not a running caption"
awk -v s="$shown" -v a="$before" -v b="$after" 'BEGIN { exit !(s >= int(a) - 1 && s <= b + 1) }' \
  || fail "caption '$title' ($shown s) against uptime $before..$after"
say "caption '$title' agrees with /proc/uptime ($before)"
advanced() { local now; now=$(caption_seconds "$(title_of "$main")") && [ "$now" -gt "$shown" ]; }
wait_for 5 advanced || fail "caption does not advance"
say "caption advances"

state=$(xprop -id "$main" _NET_WM_STATE)
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" || fail "taskbar entry: $state"
motif=$(xprop -id "$main" _MOTIF_WM_HINTS | sed 's/.*= //')
IFS=', ' read -r flags functions _ <<<"$motif"
(( (flags & 1) && !(functions & 0x1a) && (functions & 0x20) )) \
  || fail "motif hints allow resize/minimise/maximise or forbid close: $motif"
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \(.*\)/\1/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \(.*\)/\1/p' <<<"$hints")
[ -n "$min" ] && [ "$min" = "$max" ] || fail "size hints let the window resize: $hints"
# The icon: a 16 x 16 image of opaque bright green and black only, with both.
icon16=$(xprop -id "$main" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | sed 's/^_NET_WM_ICON//' | tr -d ' ' | tr ',' '\n' \
  | awk 'BEGIN { at = 1 } NR == at { w = $0 + 0 } NR == at + 1 { h = $0 + 0; if (w == 16 && h == 16) { from = NR + 1 } else { at = NR + 1 + w * h } }
         from && NR >= from && NR < from + 256 { print }' | sort | uniq -c)
# 0xff00ff00 and 0xff000000: opaque green and opaque black
grep -q ' 4278255360$' <<<"$icon16" && grep -q ' 4278190080$' <<<"$icon16" \
  && [ "$(wc -l <<<"$icon16")" -eq 2 ] || fail "no green-on-black 16 x 16 icon: $icon16"
say "skip-taskbar, no resize/minimise/maximise ($motif, min = max = $min), KQ icon"

read -r main_x main_y <<<"$(position_of "$main")"
xdotool mousemove --window "$main" 100 40 click --repeat 2 --delay 80 1
about=$(find_window 30 '^KQ-DADEDED - ABOUT$') || fail "double-click opened no About dialog"
say "double-click in the client area opens the About dialog"
sleep 0.5  # let the dialog paint before the picture
timeout 30 import -window root "$artefacts/screen.png"
read -r about_x about_y <<<"$(position_of "$about")"
x0=$((main_x - 10)) y0=$((main_y - 30))
convert "$artefacts/screen.png" -crop "$((about_x + 586 - x0))x$((about_y + 146 - y0))+$x0+$y0" +repage \
  -colors 64 "$artefacts/screenshot.png"
[ "${KQ_UPDATE_DOCS:-}" = 1 ] && cp "$artefacts/screenshot.png" "$root/docs/screenshot-win32.png"

# The keyboard: Escape does not close the dialog; from OK, the first Tab
# reaches AutoStart (tab index 7) and Space switches it.
timeout 10 xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key Escape
sleep 0.5
[ -n "$(visible_window_named '^KQ-DADEDED - ABOUT$')" ] || fail "Escape closed the About dialog"
xdotool key Tab space
disabled() { title_is_of "$main" "KQ-DADEDED: TIMERS DISABLED !!!"; }
wait_for 10 disabled || fail "caption after Tab, Space: $(title_of "$main")"
wait_for 20 wine_stored_is AUTOSTART_TICKBOX 0 || fail "AUTOSTART_TICKBOX stored '$(wine_stored AUTOSTART_TICKBOX)'"
say "Escape ignored; Tab, Space switch AutoStart off"

# Clicks on the AutoStart box: on again, then off.
running() { caption_seconds "$(title_of "$main")" >/dev/null; }
kq_click_twips "$about" $((3720 + 120)) $((1200 + 247))
wait_for 10 running || fail "caption after AutoStart on: $(title_of "$main")"
wait_for 20 wine_stored_is AUTOSTART_TICKBOX 1 || fail "AUTOSTART_TICKBOX stored '$(wine_stored AUTOSTART_TICKBOX)'"
kq_click_twips "$about" $((3720 + 120)) $((1200 + 247))
wait_for 10 disabled || fail "caption after AutoStart off: $(title_of "$main")"
wait_for 20 wine_stored_is AUTOSTART_TICKBOX 0 || fail "AUTOSTART_TICKBOX stored '$(wine_stored AUTOSTART_TICKBOX)'"
sleep 1.2
disabled || fail "engine still runs: $(title_of "$main")"
say "clicking AutoStart: on (running caption, '1'), off (disabled caption, '0')"

kq_click_twips "$about" $((6000 + 1000)) $((1200 + 300))  # OK
wait_for 10 not_normal "$about" || fail "OK did not close the dialog"
[ "$(wine_stored ABOUT_Left)" = 1000 ] && [ "$(wine_stored ABOUT_Top)" = 2700 ] \
  || fail "About position stored as $(wine_stored ABOUT_Left), $(wine_stored ABOUT_Top)"
say "OK closes the dialog and stores its position (1000, 2700)"

# Another program in front: within about a second the keeper makes the main
# window topmost (through the name-bound SetWindowPos), and it leaves the
# keyboard with the program in front.
(cd "$e2e_tmp" && exec wine notepad) >"$e2e_tmp/notepad.log" 2>&1 &
kq_other_pid=$!
remember "$kq_other_pid"
other=$(find_window 60 'Notepad$') || fail "notepad did not start"
timeout 10 xdotool windowactivate --sync "$other" 2>/dev/null || true
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
wait_for 10 above || fail "the keeper did not make the main window topmost: $(xprop -id "$main" _NET_WM_STATE)"
sleep 2.2  # two more keeper ticks
[ "$(xdotool getactivewindow 2>/dev/null)" = "$other" ] || fail "the keeper took the keyboard from the window in front"
# An iconify by the X window manager is not checked here: Wine passes it on
# to a Windows program only as SC_MINIMIZE, and only to a window with a
# minimise box, which this one has by design none of. Minimising that the
# program can see (SC_MINIMIZE, SIZE_MINIMIZED) is undone by the backend.
timeout 60 wine taskkill /f /im notepad.exe >/dev/null 2>&1 || true
timeout 30 tail --pid="$kq_other_pid" -f /dev/null || fail "notepad did not end"
kq_other_pid=
say "the keeper keeps the main window topmost and leaves the focus where it is"

# Move the main window, then close it as the system would (no /f).
xdotool windowmove "$main" 300 250
moved() { [ "$(position_of "$main")" != "$main_x $main_y" ]; }
wait_for 10 moved || fail "the window did not move"
sleep 0.3
read -r moved_x moved_y <<<"$(position_of "$main")"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || fail "taskkill failed"
wait_wine_app_exit 30 || fail "the program did not end on a close request"
left=$(wine_stored MAIN_Left); top=$(wine_stored MAIN_Top)
[[ $left =~ ^-?[0-9.]+$ && $top =~ ^-?[0-9.]+$ && $left != 1000 ]] || fail "stored main placement '$left', '$top'"
[ "$(wine_stored AlwaysOnTop_TICKBOX)" = 1 ] && [ "$(wine_stored AUTOSTART_TICKBOX)" = 0 ] \
  || fail "stored options $(wine_stored AlwaysOnTop_TICKBOX), $(wine_stored AUTOSTART_TICKBOX)"
say "close writes MAIN_Left $left, MAIN_Top $top and both options"

# --- Restart: the stored placement and options are used --------------------
start_wine_app "$kq_exe"
main=$(find_window 60 '^KQ-DADEDED: ') || fail "no window on restart"
wait_for 5 title_is_of "$main" "KQ-DADEDED: TIMERS DISABLED !!!" || fail "restart caption: $(title_of "$main")"
[ "$(position_of "$main")" = "$moved_x $moved_y" ] || fail "restart at $(position_of "$main"), not $moved_x $moved_y"
sleep 1.2
title_is_of "$main" "KQ-DADEDED: TIMERS DISABLED !!!" || fail "AutoStart off, yet: $(title_of "$main")"
say "restart uses the stored position and AutoStart off"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || fail "taskkill failed"
wait_wine_app_exit 30 || fail "the program did not end on a close request"

# --- Garbled values start on their defaults ---------------------------------
wine_store MAIN_Left 'zz-not-a-number'
wine_store AUTOSTART_TICKBOX '1x'
start_wine_app "$kq_exe"
main=$(find_window 60 '^KQ-DADEDED: [0-9]+d, ') || fail "garbled store: no running caption"
read -r x y <<<"$(position_of "$main")"
[ "$x" = "$main_x" ] && [ "$y" = "$moved_y" ] || fail "garbled MAIN_Left: window at $x $y"
say "garbled MAIN_Left and AUTOSTART_TICKBOX start on their defaults"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || fail "taskkill failed"
wait_wine_app_exit 30 || fail "the program did not end on a close request"
[ "$(wine_stored MAIN_Left)" = 1000 ] || fail "MAIN_Left after garbled start: $(wine_stored MAIN_Left)"

# --- A title bar on no monitor comes back onto the screen -------------------
wine_store MAIN_Left -300000
start_wine_app "$kq_exe"
main=$(find_window 60 '^KQ-DADEDED: ') || fail "off-screen store: no window"
read -r x y <<<"$(position_of "$main")"
(( x >= 0 && x < 1024 && y >= 0 && y < 768 )) || fail "off-screen window left at $x $y"
say "a window stored off every monitor comes back at $x $y"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || fail "taskkill failed"
wait_wine_app_exit 30 || fail "the program did not end on a close request"

# --- The session ends while the About dialog is open ------------------------
# Both windows' placements and the options are saved all the same.
wine_store MAIN_Left 1500
wine_store MAIN_Top 1500
wine_store MAIN_Height 1500
wine_store ABOUT_Left 1000
wine_store ABOUT_Top 2700
wine_reg delete "$wine_key" /v AlwaysOnTop_TICKBOX /f >/dev/null || true
start_wine_app "$kq_exe"
main=$(find_window 60 '^KQ-DADEDED: ') || fail "session end: no window"
read -r main_x main_y <<<"$(position_of "$main")"
xdotool windowmove "$main" 200 150
wait_for 10 moved || fail "the window did not move"
xdotool mousemove --window "$main" 100 40 click --repeat 2 --delay 80 1
about=$(find_window 30 '^KQ-DADEDED - ABOUT$') || fail "session end: no About dialog"
read -r about_x about_y <<<"$(position_of "$about")"
xdotool windowmove "$about" 400 420
about_moved() { [ "$(position_of "$about")" != "$about_x $about_y" ]; }
wait_for 10 about_moved || fail "the About dialog did not move"
sleep 0.3
timeout 120 wine wineboot --end-session >/dev/null 2>&1 || true  # the program's end is the check
wait_wine_app_exit 60 || fail "the program did not end with the session"
for key in MAIN_Left MAIN_Top ABOUT_Left ABOUT_Top; do
  value=$(wine_stored $key)
  [[ $value =~ ^-?[0-9.]+$ ]] || fail "$key stored as '$value' at session end"
done
[ "$(wine_stored MAIN_Left)" != 1500 ] && [ "$(wine_stored MAIN_Top)" != 1500 ] \
  || fail "the main window's place was not saved at session end: $(wine_stored MAIN_Left), $(wine_stored MAIN_Top)"
[ "$(wine_stored ABOUT_Left)" != 1000 ] && [ "$(wine_stored ABOUT_Top)" != 2700 ] \
  || fail "the About dialog's place was not saved at session end: $(wine_stored ABOUT_Left), $(wine_stored ABOUT_Top)"
[ "$(wine_stored AlwaysOnTop_TICKBOX)" = 1 ] || fail "the options were not saved at session end"
say "session end with the About dialog open saves MAIN $(wine_stored MAIN_Left), $(wine_stored MAIN_Top), ABOUT $(wine_stored ABOUT_Left), $(wine_stored ABOUT_Top) and the options"

# --- 144 dpi: both windows grow from twips, no caption is clipped ----------
wine_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
timeout 60 wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true
wineserver -p || true
wine_store MAIN_Left 1000
wine_store MAIN_Top 1000
wine_store MAIN_Height 1500
wine_store ABOUT_Left 1000
wine_store ABOUT_Top 2700
start_wine_app "$kq_exe"
main=$(find_window 60 '^KQ-DADEDED: ') || fail "144 dpi: no window"
read -r _ _ width _ <<<"$(client_geometry "$main")"
((width >= 420 && width <= 441)) || fail "144 dpi: main window $width px wide, not 4410 twips"
xdotool mousemove --window "$main" 100 40 click --repeat 2 --delay 80 1
about=$(find_window 30 '^KQ-DADEDED - ABOUT$') || fail "144 dpi: double-click opened no About dialog"
sleep 1
read -r about_x about_y about_w _ <<<"$(client_geometry "$about")"
((about_w >= 850 && about_w <= 873)) || fail "144 dpi: About dialog $about_w px wide, not 8730 twips"
timeout 30 import -window root "$e2e_tmp/dpi144.png"
cp "$e2e_tmp/dpi144.png" "$artefacts/screen-144dpi.png"
# The AutoStart box's caption, read back: cut short, it reads "AutoStar".
convert "$e2e_tmp/dpi144.png" -crop "170x60+$((about_x + 362))+$((about_y + 110))" +repage \
  -resize 300% -colorspace Gray "$e2e_tmp/autostart.png"
read_back=$(timeout 60 tesseract "$e2e_tmp/autostart.png" - --psm 7 2>/dev/null | tr -d '\n')
ocr_contains "$read_back" "AutoStart" || fail "144 dpi: the AutoStart box reads '$read_back'"
kq_click_twips "$about" $((6000 + 1000)) $((1200 + 300)) 144  # OK
wait_for 10 not_normal "$about" || fail "144 dpi: OK did not close the dialog"
timeout 60 wine taskkill /im "$(basename "$kq_exe")" >/dev/null 2>&1 || fail "taskkill failed"
wait_wine_app_exit 30 || fail "the program did not end on a close request"
say "at 144 dpi both windows are their twips wide ($width, $about_w px) and the AutoStart box reads '$read_back'"

echo "win32 end-to-end: all passed (screenshot: build/e2e-win32/screenshot.png)"
