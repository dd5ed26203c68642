#!/usr/bin/env bash
# The desktop program under the window manager of each desktop people use
# (tests/e2e/linux/desktops.sh), each on its own display and bounded in time.
# One line per desktop: pass, fail or skip with the reason; the details and
# pictures land in build/e2e-desktops/. KQ_UPDATE_DOCS=1 also refreshes the
# README's table and docs/desktop-*.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(uname -s)" = Linux ] || { echo "not Linux: skipped"; exit 0; }

cmake --preset release >/dev/null
timeout 1200 cmake --build --preset release --target kq-rez-v1 kq-wm-poke --parallel 2 >/dev/null
program=build/release/app/kq-rez-v1
poke=build/release/tests/e2e/kq-wm-poke
out=build/e2e-desktops
rm -rf "$out" && mkdir -p "$out"

# name, what must be there to run it
desktops=(openbox:openbox xfwm4:xfwm4 mutter:mutter kwin:kwin_x11 weston:weston openbox-192dpi:openbox)
failed=0
for entry in "${desktops[@]}"; do
  name=${entry%%:*} needs=${entry#*:}
  if ! command -v "$needs" >/dev/null; then
    echo "desktop $name: skip ($needs is not installed)"
    continue
  fi
  if [ "$name" = weston ] && ! unshare --mount --net true 2>/dev/null; then
    echo "desktop $name: skip (no private namespace for XWayland's display number)"
    continue
  fi
  start=$SECONDS
  if timeout 90 bash tests/e2e/linux/desktops.sh "$name" "$program" "$poke" "$out" >"$out/$name.log" 2>&1; then
    verdict=pass
  else
    verdict=fail failed=$((failed + 1))
  fi
  summary=$(sed -n 's/^check \([a-z]*\): \([a-z/]*\).*/\1 \2/p' "$out/$name.txt" | tr '\n' ',' | sed 's/,$//; s/,/, /g')
  echo "desktop $name: $verdict in $((SECONDS - start)) s ($summary)"
  grep 'starting it again' "$out/$name.log" | sed 's/^ */    /' || true
  [ "$verdict" = pass ] || tail -5 "$out/$name.log" | sed 's/^/    /'
done
bash tests/e2e/linux/desktops-table.sh "$out" >"$out/table.md"
if [ "${KQ_UPDATE_DOCS:-}" = 1 ]; then
  for shot in "$out"/*.png; do
    case $shot in *-title-*) continue ;; esac
    cp "$shot" "docs/desktop-$(basename "$shot")"
  done
  awk -v table="$out/table.md" '
    /<!-- desktop-matrix:start -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
    /<!-- desktop-matrix:end -->/ { skip = 0 }
    !skip' README.md >"$out/README.md" && cp "$out/README.md" README.md
fi
((failed == 0))
