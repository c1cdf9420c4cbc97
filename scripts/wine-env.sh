# Sourced by the scripts: a private Xvfb display and a warm, persistent
# wineserver for one build tree's own 32-bit Wine prefix.
# Usage: zp_wine_up <build-dir>; zp_wine_down (also registered on EXIT).
# The build folder may be given relative to the current folder.

zp_wine_up() {
  local build
  # Wine refuses a prefix that is not an absolute path.
  build=$(realpath -m "${1:?usage: zp_wine_up <build-dir>}")
  export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
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
      echo "wine-env: Xvfb did not start" >&2
      kill "$ZP_XVFB_PID" 2>/dev/null || true
      ZP_XVFB_PID=""
    fi
  fi
  mkdir -p "$WINEPREFIX"
  # Without stdio on /dev/null, CTest waits on Wine's services holding its pipe.
  # A server already running for this prefix answers 2: it is just as warm.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
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
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null &&
      touch "$WINEPREFIX/.zp-unmanaged"
  fi
}

zp_wine_down() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  [ -n "${ZP_XVFB_PID:-}" ] && kill "$ZP_XVFB_PID" 2>/dev/null || true
  ZP_XVFB_PID=""
}
