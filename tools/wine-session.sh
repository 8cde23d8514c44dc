#!/bin/bash
# Source this: wine_session_start <build dir> [show] brings up a private Xvfb
# (with "show", the user's own display when there is one), the build folder's
# prefix in the build's architecture (virtual desktop on) and a warm
# wineserver; Wine's own messages go to <build dir>/wine.log.
# wine_session_stop ends exactly what was started, and is safe on any path:
# twice, after a failure, under set -e.

source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# wine_session_fail STEP: says what failed and where Wine said why.
wine_session_fail() {
  echo "Wine: $1 failed in $QM_WINE_BUILD ($WINEARCH); Wine's messages are in $QM_WINE_LOG" >&2
  return 1
}

wine_session_start() {
  local show="${2:-}"
  wine_env "$1" || return 1
  export QM_WINE_LOG="$QM_WINE_BUILD/wine.log"
  : >"$QM_WINE_LOG"

  QM_XVFB_PID=
  if [ "$show" != show ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    # Xvfb picks a free display itself, so sessions started side by side
    # never race for one, and writes its number once it accepts clients.
    local number="$QM_WINE_BUILD/xvfb-display"
    : >"$number"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >>"$QM_WINE_LOG" 2>&1 &
    QM_XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
    [ -s "$number" ] || wine_session_fail "starting Xvfb" || return 1
    export DISPLAY=":$(cat "$number")"
  fi

  "$WINELOADER" --version >>"$QM_WINE_LOG" 2>&1 || wine_session_fail "starting $WINELOADER" || return 1

  # The marker is written last: a prefix without it was left half-made by an
  # interrupted run and is made again.
  local ready="$WINEPREFIX/.quellmark-ready"
  if [ ! -f "$ready" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    "$WINELOADER" wineboot -i >>"$QM_WINE_LOG" 2>&1 || true
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || wine_session_fail "making the prefix" || return 1
    # Without a virtual desktop every window activation costs seconds.
    "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
      >>"$QM_WINE_LOG" 2>&1 &&
      "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        >>"$QM_WINE_LOG" 2>&1 || wine_session_fail "turning on the virtual desktop" || return 1
    wineserver -k
    wineserver -w
    touch "$ready"
  fi
  # Debian's Wine does not load its own fonts from where fonts-wine puts
  # them, and without Marlett the caption buttons are drawn as letters.
  # MS Sans Serif is the bitmap font, as on Windows: Wine's TrueType stand-in
  # is wider, and dialogs laid out in its units outgrow their windows.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ ! -f "$fonts/sserife.fon" ]; then
    { cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/sserife.fon "$fonts/" &&
      rm -f "$fonts/ms_sans_serif.ttf"; } ||
      wine_session_fail "copying Wine's fonts into the prefix" || return 1
  fi
  # A server we start ourselves does not inherit ctest's pipes.
  wineserver -p </dev/null >>"$QM_WINE_LOG" 2>&1
  "$WINELOADER" cmd /c exit </dev/null >>"$QM_WINE_LOG" 2>&1 ||
    wine_session_fail "a first program in the prefix" || return 1
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

# wine_register_band: registers, with the prefix's regsvr32, a copy of the
# build's quellmark.dll kept in <build dir>/tour, so that the rules and the
# log it keeps beside itself stay out of the deliverables folder (out).
# regsvr32's messages go to <build dir>/tour/register.log.
wine_register_band() {
  local tour="$QM_WINE_BUILD/tour"
  mkdir -p "$tour"
  cp "$QM_WINE_BUILD/out/quellmark.dll" "$tour/quellmark.dll" || return 1
  "$WINELOADER" regsvr32 /s "$("$WINELOADER" winepath -w "$tour/quellmark.dll" 2>/dev/null)" \
    >"$tour/register.log" 2>&1
}
