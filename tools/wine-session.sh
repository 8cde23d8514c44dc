#!/bin/bash
# Source this: wine_session_start <build dir> [show] brings up a private Xvfb
# on a free display (with "show", the user's own display when there is one),
# the build folder's 32-bit prefix (virtual desktop on) and a warm
# wineserver; wine_session_stop ends exactly what was started.

wine_session_start() {
  local build="$1"
  local show="${2:-}"
  export QM_WINE_BUILD="$build"
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

  QM_XVFB_PID=
  if [ "$show" != show ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    QM_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Without a virtual desktop every window activation costs seconds.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
  fi
  # A server we start ourselves does not inherit ctest's pipes.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "${QM_XVFB_PID:-}" ] && kill "$QM_XVFB_PID" 2>/dev/null
  wait "$QM_XVFB_PID" 2>/dev/null
  QM_XVFB_PID=
}
