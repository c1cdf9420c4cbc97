# Sourced by the scripts: a private Xvfb display and a warm, persistent
# wineserver for one build tree's own Wine prefix, 32-bit or, with
# ZP_ARCH=64 (see variant.sh), 64-bit.
# Usage: zp_wine_up <build-dir>; zp_wine_down (also registered on EXIT).
# The build folder may be given relative to the current folder. Every
# failure says what failed and what to do, and returns non-zero.

# zp_wine_tools <dir>: in a 64-bit prefix, "wine" and "winepath" must be
# 64-bit Wine's own: Debian's wine command prefers the 32-bit loader
# whenever it is installed, which a kernel without 32-bit support cannot
# start. Small commands of those names in <dir> go first on PATH, so every
# script and test (also through timeout) reaches the right loader.
ZP_WINE64=/usr/lib/wine/wine64
zp_wine_tools() {
  [ "${WINEARCH:-win32}" = win64 ] || return 0
  local dir=$1
  if [ ! -x "$ZP_WINE64" ]; then
    echo "wine-env: 64-bit Wine ($ZP_WINE64) is missing; run scripts/setup-deps.sh 64" >&2
    return 1
  fi
  mkdir -p "$dir"
  printf '#!/bin/sh\nexec %s "$@"\n' "$ZP_WINE64" >"$dir/wine"
  printf '#!/bin/sh\nexec %s winepath.exe "$@"\n' "$ZP_WINE64" >"$dir/winepath"
  chmod +x "$dir/wine" "$dir/winepath"
  case ":$PATH:" in *":$dir:"*) ;; *) export PATH="$dir:$PATH" ;; esac
}

zp_wine_up() {
  local build arch=win32
  # Wine refuses a prefix that is not an absolute path.
  build=$(realpath -m "${1:?usage: zp_wine_up <build-dir>}")
  [ "${ZP_ARCH:-32}" = 64 ] && arch=win64
  export WINEPREFIX="$build/wineprefix" WINEARCH=$arch WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  # Pinned locale: start-up picks its language module from it.
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  ZP_XVFB_PID=""
  # Cleaned up on every way out, also when a later step fails.
  trap zp_wine_down EXIT
  if [ -z "${ZP_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display itself and says which once it accepts
    # connections, so scripts started side by side never share one.
    local fifo number=""
    fifo=$(mktemp -u /tmp/zp-xvfb.XXXXXX)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
    ZP_XVFB_PID=$!
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    if [ -n "$number" ] && kill -0 "$ZP_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$number"
    else
      echo "wine-env: the virtual display (Xvfb) did not start; check that the xvfb package is" \
        "installed (scripts/setup-deps.sh) and that 'Xvfb -displayfd 1' starts here" >&2
      kill "$ZP_XVFB_PID" 2>/dev/null || true
      ZP_XVFB_PID=""
      return 1
    fi
  fi
  zp_wine_tools "$build/wine-bin" || return 1
  mkdir -p "$WINEPREFIX"
  if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$arch" "$WINEPREFIX/system.reg"; then
    echo "wine-env: $WINEPREFIX is a prefix of the other variant; remove it or the build folder" >&2
    return 1
  fi
  # Without stdio on /dev/null, CTest waits on Wine's services holding its pipe.
  # A server already running for this prefix answers 2: it is just as warm.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  # Into a file, not a pipe: Wine's services started here inherit it and
  # would hold a pipe open for as long as they run.
  local out
  out=$(mktemp)
  if ! wine cmd /c exit >"$out" 2>&1 </dev/null; then
    echo "wine-env: Wine cannot start a program in $WINEPREFIX ($arch):" >&2
    tail -3 "$out" | sed 's/^/  /' >&2
    rm -f "$out"
    if [ "$arch" = win32 ]; then
      echo "wine-env: where this machine runs no 32-bit programs, ZP_ARCH=64 builds and runs" \
        "the 64-bit variant" >&2
    else
      echo "wine-env: check that 64-bit Wine is installed (scripts/setup-deps.sh 64)" >&2
    fi
    return 1
  fi
  rm -f "$out"
  # Debian's Wine does not load the faces of its own font folder, so the
  # title bars' Marlett symbols fell to another face and read "0 1 r".
  # A font in the prefix's Fonts folder is loaded; Marlett alone, so that no
  # other text changes face.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ]; then
    cp "$marlett" "$fonts/marlett.ttf"
  fi
  # Xvfb has no window manager: unmanaged windows hide and show at once
  # instead of waiting about two seconds for one.
  if [ ! -e "$WINEPREFIX/.zp-unmanaged" ]; then
    if wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null; then
      touch "$WINEPREFIX/.zp-unmanaged"
    else
      echo "wine-env: could not switch off window management in $WINEPREFIX;" \
        "windows will show and hide more slowly" >&2
    fi
  fi
}

zp_wine_down() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  [ -n "${ZP_XVFB_PID:-}" ] && kill "$ZP_XVFB_PID" 2>/dev/null || true
  ZP_XVFB_PID=""
}
