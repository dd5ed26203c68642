#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Usage: scripts/deps.sh [run|test] [--terminal-only]
#   run              what the program itself needs to build (scripts/run.sh)
#   test             that, and everything the tests need (scripts/test.sh)
#   --terminal-only  without the desktop face's libraries (desktop.list)
# Every list is in scripts/deps.d/*.list: one package a line, "i386:pkg" for
# a 32-bit package, "test:" in front for one only the tests need.
set -euo pipefail
what=run terminal_only=
for arg in "$@"; do
  case $arg in
    run|test) what=$arg ;;
    --terminal-only) terminal_only=1 ;;
    *) echo "usage: scripts/deps.sh [run|test] [--terminal-only]" >&2; exit 2 ;;
  esac
done

packages=() i386=()
here=$(cd "$(dirname "$0")" && pwd)
for list in "$here"/deps.d/*.list; do
  [ -n "$terminal_only" ] && [ "${list##*/}" = desktop.list ] && continue
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

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do installed "$p" || missing+=("$p"); done
for p in $(printf '%s\n' "${i386[@]}" | sort -u); do installed "$p:i386" || missing+=("$p:i386"); done
[ ${#missing[@]} -eq 0 ] && exit 0

need_i386=
if [ ${#i386[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then need_i386=1; fi
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    SUDO=(sudo)
  else
    {
      echo "scripts/deps.sh: these Debian packages are missing, and installing them needs root:"
      echo "  ${missing[*]}"
      echo "As root (su -), run:"
      [ -n "$need_i386" ] && echo "  dpkg --add-architecture i386"
      echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}"
      echo "then run this command again."
    } >&2
    exit 1
  fi
fi
if [ -n "$need_i386" ]; then
  echo "adding the i386 architecture (the 32-bit Windows program runs under 32-bit Wine)"
  "${SUDO[@]}" dpkg --add-architecture i386
fi
echo "installing ${#missing[@]} packages and what they need: ${missing[*]}"
"${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
  --no-install-recommends "${missing[@]}" >/dev/null
echo "installed"
