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
# A failed check leaves no pane behind: its program hangs up with the server.
trap 'tmux_cleanup; e2e_cleanup' EXIT

# start_face [WIDTH [COMMAND [READY]]]: the program (or COMMAND, which runs
# it) alone in a WIDTH x 10 tmux pane, without a display, once READY holds.
start_face() {
  local width=${1:-100} command=${2:-"'$program'"} ready=${3:-caption_begun}
  rm -f "$e2e_tmp/status"
  tmux_ new-session -d -s face -x "$width" -y 10 \
    "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='$XDG_CONFIG_HOME' $command; echo \$? >'$e2e_tmp/status'; sleep 600"
  remember "$(tmux_ display -p -t face '#{pid}')"
  wait_for 15 "$ready" || fail "no caption line: $(tmux_ capture-pane -p -t face)"
}
stop_face() { tmux_cleanup; }
screen_caption() { tmux_ capture-pane -p -t face | grep -m1 -E '^(KQ-DADEDED: |[0-9]+d, )' | sed 's/ *$//'; }
caption_on_screen() { caption_seconds "$(screen_caption)" >/dev/null; }
caption_begun() { [ -n "$(screen_caption)" ]; }
ended() { [ -s "$e2e_tmp/status" ]; }
# The pane's lines that are not blank.
pane_lines() { tmux_ capture-pane -p -t face | grep -v '^ *$' || true; }

echo "== terminal face, empty store"
start_face
wait_for 5 caption_on_screen || fail "no whole caption: $(screen_caption)"
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

echo "== 20 columns: the line is cut to fit, never wrapped"
start_face 20
sleep 2.5  # two more captions
lines=$(pane_lines | sed 's/ *$//')
[ "$(wc -l <<<"$lines")" = 1 ] || fail "more than one line in 20 columns: $lines"
# The name goes first: the uptime itself fits.
caption_matches_uptime "KQ-DADEDED: $lines" && ((${#lines} <= 19)) || fail "the line '$lines' is not the uptime in 19 columns"
say "one line, '$lines'"
tmux_ send-keys -t face q
wait_for 10 ended || fail "q did not end the program"
stop_face

echo "== TERM=dumb: no escape sequences, no title"
start_face 100 "script -qfec \"env TERM=dumb '$program'\" '$e2e_tmp/dumb.raw'"
sleep 2.5
title=$(tmux_ display -p -t face '#{pane_title}')
! caption_seconds "$title" >/dev/null || fail "the terminal title was set: '$title'"
tmux_ send-keys -t face q
wait_for 10 ended || fail "q did not end the program"
[ "$(cat "$e2e_tmp/status")" = 0 ] || fail "exit status $(cat "$e2e_tmp/status")"
grep -aq 'KQ-DADEDED: ' "$e2e_tmp/dumb.raw" || fail "no caption written: $(cat -v "$e2e_tmp/dumb.raw")"
! grep -aq $'\e' "$e2e_tmp/dumb.raw" || fail "escape sequences sent to a dumb terminal: $(cat -v "$e2e_tmp/dumb.raw" | head -c 300)"
say "captions redrawn with carriage returns only; the title left alone"
stop_face

echo "== output to a file: one line per caption, q without Enter"
rm -f "$e2e_tmp/lines.out"
lines_written() { [ -s "$e2e_tmp/lines.out" ]; }
start_face 100 "'$program' >'$e2e_tmp/lines.out'" lines_written
sleep 2.5
tmux_ send-keys -t face q
wait_for 10 ended || fail "q without Enter did not end the program"
[ "$(cat "$e2e_tmp/status")" = 0 ] || fail "exit status $(cat "$e2e_tmp/status")"
count=$(grep -c '' "$e2e_tmp/lines.out")
((count >= 3)) || fail "only $count lines: $(cat -v "$e2e_tmp/lines.out")"
grep -vqE '^KQ-DADEDED: ([0-9]+d, [0-9]+h, [0-9]+m, [0-9]+s|TIMERS DISABLED !!!)$' "$e2e_tmp/lines.out" &&
  fail "not one caption a line: $(cat -v "$e2e_tmp/lines.out")"
[ -z "$(uniq -d "$e2e_tmp/lines.out")" ] || fail "a caption written twice: $(uniq -d "$e2e_tmp/lines.out")"
say "$count lines, one per caption; q ended the program at once"
stop_face

echo "terminal: all passed"
