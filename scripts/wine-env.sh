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
  if [ -z "${ZP_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 90 190); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      ZP_XVFB_PID=$!
      local i
      for i in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
      if kill -0 "$ZP_XVFB_PID" 2>/dev/null; then export DISPLAY=":$n"; break; fi
      ZP_XVFB_PID=""
    done
  fi
  mkdir -p "$WINEPREFIX"
  # Without stdio on /dev/null, CTest waits on Wine's services holding its pipe.
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  # Xvfb has no window manager: unmanaged windows hide and show at once
  # instead of waiting about two seconds for one.
  if [ ! -e "$WINEPREFIX/.zp-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null &&
      touch "$WINEPREFIX/.zp-unmanaged"
  fi
  trap zp_wine_down EXIT
}

zp_wine_down() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  [ -n "${ZP_XVFB_PID:-}" ] && kill "$ZP_XVFB_PID" 2>/dev/null || true
  ZP_XVFB_PID=""
}
