#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Usage: scripts/deps.sh [run|test]
set -euo pipefail
what=${1:-test}

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
          libbenchmark-dev pkg-config)
i386=()
# Each subsystem that needs more lists its packages in scripts/deps.d/*.list
# ("pkg" per line; "i386:pkg" for a 32-bit package; "test:" in front for a
# package only the tests and the Windows build need).
here=$(cd "$(dirname "$0")" && pwd)
for list in "$here"/deps.d/*.list; do
  [ -e "$list" ] || continue
  while read -r line; do
    line=${line%%#*}; line=$(echo "$line" | xargs)
    [ -n "$line" ] || continue
    if [ "${line#test:}" != "$line" ]; then
      [ "$what" = test ] || continue
      line=${line#test:}
    fi
    case $line in
      i386:*) i386+=("${line#i386:}") ;;
      *) packages+=("$line") ;;
    esac
  done < "$list"
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
for p in "${i386[@]}"; do
  dpkg-query -W -f='${Status}' "$p:i386" 2>/dev/null | grep -q "install ok installed" || missing+=("$p:i386")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#i386[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
