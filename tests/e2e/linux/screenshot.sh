#!/usr/bin/env bash
# Makes docs/screenshot-linux.png: the main window with the About dialog open
# below it, on a virtual display with openbox. The main window is stored a
# little wider than its default, as openbox's default title font and buttons
# leave the default width too narrow for the whole caption.
# KQ_XFT_DPI sets the desktop's Xft.dpi first (144, 192: a high-DPI screen).
# Usage: tests/e2e/linux/screenshot.sh PROGRAM [OUTPUT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
e2e_begin
program=$(realpath "$1")
output=${2:-docs/screenshot-linux.png}

export XDG_CONFIG_HOME="$e2e_tmp/config"
mkdir -p "$XDG_CONFIG_HOME/KQ_REZ"
printf '[%s]\nMAIN_Left=300\nMAIN_Top=300\nMAIN_Width=5200\nABOUT_Left=300\nABOUT_Top=1000\n' "$(basename "$program")" \
  >"$XDG_CONFIG_HOME/KQ_REZ/settings.ini"
start_desktop
[ -z "${KQ_XFT_DPI:-}" ] || xrdb -merge <<<"Xft.dpi: $KQ_XFT_DPI"
"$program" >/dev/null 2>&1 &
remember $!
wait_for 20 window_exists '^KQ-DADEDED: [0-9]' || fail "no running caption"
main=$(window_named '^KQ-DADEDED: ')
wait_for 10 framed "$main" || fail "no frame"
read -r _ _ _ height < <(client_geometry "$main")
xdotool mousemove --window "$main" 20 $((height / 2)) click --repeat 2 --delay 120 1
wait_for 10 window_exists '^KQ-DADEDED - ABOUT$' || fail "no About dialog"
about=$(window_named '^KQ-DADEDED - ABOUT$')
wait_for 10 framed "$about" || fail "no frame around the dialog"
xdotool mousemove 5 5
sleep 1.5  # the caption has counted once more and everything is drawn
read -r mx my _ _ < <(client_geometry "$main")
read -r ml _ mt _ < <(frame_of "$main")
read -r ax ay aw ah < <(client_geometry "$about")
read -r _ r _ b < <(frame_of "$about")
left=$((mx - ml - 8)) top=$((my - mt - 8))
mkdir -p "$(dirname "$output")"
import -window root -crop "$((ax + aw + r + 8 - left))x$((ay + ah + b + 8 - top))+$left+$top" +repage \
  -colors 64 "png8:$output"
say "wrote $output ($(stat -c %s "$output") bytes)"
