#!/usr/bin/env bash
# The terminal face (no display) in tmux, driven from outside.
# Usage: terminal.sh PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../lib.sh"
e2e_begin
program=$(realpath "$1")

use_own_settings "$program"
socket="kq-e2e-$$"
tmux_() { tmux -L "$socket" -f /dev/null "$@"; }
tmux_cleanup() { tmux_ kill-server 2>/dev/null || true; }

# start_face: the program alone in a 100 x 10 tmux pane, without a display.
start_face() {
  rm -f "$e2e_tmp/status"
  tmux_ new-session -d -s face -x 100 -y 10 \
    "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='$XDG_CONFIG_HOME' '$program'; echo \$? >'$e2e_tmp/status'; sleep 600"
  remember "$(tmux_ display -p -t face '#{pid}')"
  wait_for 15 caption_on_screen || fail "no caption line: $(tmux_ capture-pane -p -t face)"
}
stop_face() { tmux_cleanup; }
screen_caption() { tmux_ capture-pane -p -t face | grep -m1 '^KQ-DADEDED: ' | sed 's/ *$//'; }
caption_on_screen() { caption_seconds "$(screen_caption)" >/dev/null; }
ended() { [ -s "$e2e_tmp/status" ]; }

echo "== terminal face, empty store"
start_face
caption=$(screen_caption)
caption_matches_uptime "$caption" || fail "caption '$caption' disagrees with /proc/uptime"
say "caption line '$caption' agrees with /proc/uptime"
before=$(caption_seconds "$caption")
later() { local now; now=$(caption_seconds "$(screen_caption)") && ((now > before)); }
wait_for 5 later || fail "the caption line does not advance"
[ "$(tmux_ capture-pane -p -t face | grep -c '^KQ-DADEDED: ')" = 1 ] || fail "the caption is not one line updated in place"
title=$(tmux_ display -p -t face '#{pane_title}')
caption_seconds "$title" >/dev/null || fail "terminal title '$title' is not the caption"
say "advances in place; terminal title '$title'"
tmux_ send-keys -t face q
wait_for 10 ended || fail "q did not end the program"
[ "$(cat "$e2e_tmp/status")" = 0 ] || fail "exit status $(cat "$e2e_tmp/status")"
for key in MAIN_Left MAIN_Top AlwaysOnTop_TICKBOX AUTOSTART_TICKBOX; do
  [ -n "$(ini_get "$settings" "$section" $key)" ] || fail "$key not written: $(cat "$settings" 2>&1)"
done
say "q: exit status 0, settings written"
stop_face

echo "== Ctrl-C closes normally too"
sed -i 's/^AlwaysOnTop_TICKBOX=.*/AlwaysOnTop_TICKBOX=banana/' "$settings"
start_face
tmux_ send-keys -t face C-c
wait_for 10 ended || fail "Ctrl-C did not end the program"
[ "$(cat "$e2e_tmp/status")" = 0 ] || fail "exit status $(cat "$e2e_tmp/status")"
[ "$(ini_get "$settings" "$section" AlwaysOnTop_TICKBOX)" = 1 ] ||
  fail "the unload did not write: AlwaysOnTop_TICKBOX=$(ini_get "$settings" "$section" AlwaysOnTop_TICKBOX)"
say "Ctrl-C: exit status 0, the unload wrote the settings"
stop_face

echo "terminal: all passed"
