#!/usr/bin/env bash
# The desktop matrix as a Markdown table, from the results in OUT/*.txt.
# Usage: desktops-table.sh OUT
set -euo pipefail
out=$1
value() { sed -n "s/^$2: //p" "$out/$1.txt" | head -1; }
verdict() { value "$1" "check $2" | sed 's/ (.*//'; }
echo "| Desktop | Window manager | WM up | First caption | Title buttons (allowed) | Running caption | \"TIMERS DISABLED\" caption | No taskbar entry | Keeper | About modal, above | Settings written | Iconified comes back | Picture |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|"
for desktop in openbox xfwm4 mutter kwin weston openbox-192dpi; do
  [ -f "$out/$desktop.txt" ] || continue
  case $desktop in
    openbox) label="openbox" ;;
    xfwm4) label="Xfce (xfwm4)" ;;
    mutter) label="GNOME (mutter, X11)" ;;
    kwin) label="KDE Plasma (kwin_x11, Breeze)" ;;
    weston) label="Wayland (weston, XWayland)" ;;
    openbox-192dpi) label="openbox, 192 dpi" ;;
  esac
  printf '| %s | %s | %s ms | %s ms | %s | %s | %s | %s | %s | %s | %s | %s | [png](docs/desktop-%s.png) |\n' \
    "$label" "$(value $desktop "window manager")" "$(value $desktop "window manager start ms")" \
    "$(value $desktop "time to first caption ms")" "$(value $desktop "allowed actions")" \
    "$(value $desktop "running caption")" "$(value $desktop "disabled caption")" \
    "$(verdict $desktop taskbar)" "$(verdict $desktop keeper)" "$(verdict $desktop about)" \
    "$(verdict $desktop settings)" "$(verdict $desktop iconify)" "$desktop"
done
