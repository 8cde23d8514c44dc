#!/bin/bash
# Source this: wine_session_start <build dir> [show] brings up a private Xvfb
# on a free display (with "show", the user's own display when there is one),
# the build folder's prefix in the build's architecture (virtual desktop on)
# and a warm wineserver; wine_session_stop ends exactly what was started, and
# is safe to call on any path, twice, or under set -e.

source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

wine_session_start() {
  local show="${2:-}"
  wine_env "$1" || return 1

  QM_XVFB_PID=
  if [ "$show" != show ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    QM_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  # The marker is written last: a prefix without it was left half-made by an
  # interrupted run and is made again.
  local ready="$WINEPREFIX/.quellmark-ready"
  if [ ! -f "$ready" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || {
      echo "wineboot could not make the prefix $WINEPREFIX" >&2
      return 1
    }
    # Without a virtual desktop every window activation costs seconds.
    "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
      >/dev/null 2>&1
    wineserver -k
    wineserver -w
    touch "$ready"
  fi
  # A server we start ourselves does not inherit ctest's pipes.
  wineserver -p </dev/null >/dev/null 2>&1
  "$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${QM_XVFB_PID:-}" ]; then
    kill "$QM_XVFB_PID" 2>/dev/null || true
    wait "$QM_XVFB_PID" 2>/dev/null || true
  fi
  QM_XVFB_PID=
  return 0
}
