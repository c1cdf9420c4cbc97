#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, once.
# Quick when everything is there already.
set -euo pipefail

# fonts-liberation (v1, not fonts-liberation2) carries Liberation Sans Narrow,
# which has Arial Narrow's widths: the grids' font where Arial Narrow is missing.
# fonts-wine carries Marlett, the title bars' button symbols (see wine-env.sh).
packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386
          xvfb xauth googletest clang libclang-rt-14-dev fp-utils libchm-bin python3 fonts-liberation
          fonts-wine)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
