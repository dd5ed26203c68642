#!/usr/bin/env bash
# The Debian package: builds it (run preset, CPack), has lintian check it,
# checks its dependencies are met here, installs it into a scratch root and
# proves the installed program starts and shows a caption. The icons it
# installs must be the Windows icon's drawings, pixel for pixel.
# KQ_PACKAGE_DPKG=1 also installs it for real with dpkg -i and removes it
# again (for a throw-away machine).
set -euo pipefail
cd "$(dirname "$0")/../.."
fail() { echo "package: $*" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --preset run -DKQ_TERMINAL_ONLY=OFF >/dev/null
rm -f build/run/kq-dadeded_*.deb
timeout 1200 cmake --build --preset run --target package --parallel 2 >build/run/package.log 2>&1 \
  || { tail -n 40 build/run/package.log; fail "the build failed"; }
deb=$(ls build/run/kq-dadeded_*.deb)
echo "package: $deb, $(stat -c %s "$deb") bytes"

lintian_rc=0
tags=$(lintian --fail-on error --suppress-tags no-manual-page "$deb" 2>&1) || lintian_rc=$?
grep -v 'running with root privileges' <<<"$tags" || true
[ $lintian_rc -eq 0 ] || fail "lintian reports errors"
echo "lintian: no errors"

# Every dependency dpkg-shlibdeps found is installed here, in a version that meets it.
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libc6' <<<"$depends" && grep -q 'libx11-6' <<<"$depends" || fail "Depends lacks the C or X11 library: $depends"
while read -r dep; do
  name=${dep%% *}
  version=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || fail "dependency $name is not installed"
  if [[ $dep =~ \((.*)\ (.*)\) ]]; then
    op=${BASH_REMATCH[1]} want=${BASH_REMATCH[2]}
    case $op in '>>') op=gt ;; '>=') op=ge ;; '=') op=eq ;; '<=') op=le ;; '<<') op=lt ;; esac
    dpkg --compare-versions "$version" "$op" "$want" || fail "dependency $dep, installed $version"
  fi
done < <(tr ',' '\n' <<<"$depends" | sed 's/^ *//')
echo "Depends (from dpkg-shlibdeps) met: $depends"

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
for file in usr/bin/kq-rez-v1 usr/share/applications/kq-dadeded.desktop \
            usr/share/doc/kq-dadeded/README.md usr/share/doc/kq-dadeded/copyright usr/share/doc/kq-dadeded/changelog.gz; do
  [ -f "$root/$file" ] || fail "no /$file in the package"
done
entry=$root/usr/share/applications/kq-dadeded.desktop
for line in Type=Application Exec=kq-rez-v1 Icon=kq-dadeded NoDisplay=false 'Categories=System;Monitor;'; do
  grep -qx "$line" "$entry" || fail "desktop entry lacks $line"
done

# The hicolor icons against the Windows icon: 16 and 24 as they are, the
# larger sizes its drawings scaled up by whole factors.
ico=platform/win32/resources/app.ico
for pair in 16:0:1 24:1:1 32:0:2 48:1:2 256:0:16; do
  IFS=: read -r size frame factor <<<"$pair"
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/kq-dadeded.png
  [ -f "$png" ] || fail "no ${size}x$size icon"
  convert "$ico[$frame]" -sample "$((factor * 100))%" -alpha off "$scratch/ico-$size.png"
  differ=$(compare -metric AE "$png" "$scratch/ico-$size.png" null: 2>&1 || true)
  [ "$differ" = 0 ] || fail "the ${size}x$size icon differs from app.ico in $differ pixels"
done
echo "installed: program, desktop entry, 5 icons equal to the Windows icon's drawings, README, copyright, changelog"

# The installed program starts and shows a caption: its terminal face with
# no display, and one line on stderr when a display is set but cannot open.
program=$root/usr/bin/kq-rez-v1
! ldd "$program" | grep -q 'not found' || fail "$(ldd "$program" | grep 'not found')"
export XDG_CONFIG_HOME=$scratch/config
env -u DISPLAY -u WAYLAND_DISPLAY timeout 3 "$program" </dev/null >"$scratch/out" 2>"$scratch/err" || true
grep -qE '^KQ-DADEDED: [0-9]+d, [0-9]+h, [0-9]+m, [0-9]+s' "$scratch/out" \
  || fail "no running caption from the installed program: $(head -c 300 "$scratch/out") $(cat "$scratch/err")"
[ ! -s "$scratch/err" ] || fail "stderr without a display: $(cat "$scratch/err")"
DISPLAY=:0.kq-no-such-display timeout 3 "$program" </dev/null >"$scratch/out" 2>"$scratch/err" || true
grep -qE '^KQ-DADEDED: [0-9]+d, ' "$scratch/out" || fail "no caption when the display does not open"
[ "$(wc -l <"$scratch/err")" = 1 ] && grep -q 'cannot open the X display ":0.kq-no-such-display"' "$scratch/err" \
  || fail "stderr when the display does not open: $(cat "$scratch/err")"
echo "the installed program shows '$(grep -m1 -E 'd, ' "$scratch/out")'; says in one line when a display does not open"

if [ "${KQ_PACKAGE_DPKG:-}" = 1 ]; then
  dpkg -i "$deb" >/dev/null
  timeout 3 env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/kq-rez-v1 </dev/null >"$scratch/out" 2>&1 || true
  grep -qE '^KQ-DADEDED: [0-9]+d, ' "$scratch/out" || { dpkg -r kq-dadeded >/dev/null; fail "no caption from /usr/bin/kq-rez-v1"; }
  dpkg -r kq-dadeded >/dev/null
  echo "dpkg -i, caption from /usr/bin/kq-rez-v1, dpkg -r: done"
fi
