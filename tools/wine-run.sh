#!/bin/bash
# Runs one Windows program of a build under Wine.
#
#   tools/wine-run.sh ARCH PROGRAM [ARG...]
# By hand: ARCH is win32 or win64, the build folder build/ARCH (built with
# cmake --preset ARCH && cmake --build --preset ARCH). Starts a Wine session
# of that build (its prefix, on your display when there is one, else a
# private Xvfb), registers the band (a copy of quellmark.dll kept in
# build/ARCH/tour, whose rules and log stay beside it), runs PROGRAM and
# ends the session; the exit status is the program's. PROGRAM is a path, or
# the name of a program the build makes: quellmark-lab, QuellmarkSetup,
# uninstall. Paths among the arguments are read from the current folder.
#   e.g. tools/wine-run.sh win64 quellmark-lab lab/scenarios/popup-on-load.txt
#
#   tools/wine-run.sh BUILD_DIR PROGRAM [ARG...]
# Inside a running session (ctest calls it so for every Windows test
# program): runs PROGRAM in that build folder's prefix and architecture.
set -e
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
  echo "usage: tools/wine-run.sh win32|win64 PROGRAM [ARG...]" >&2
  exit 2
fi

case "$1" in
  win32 | win64) ;;
  *)
    source "$here/wine-env.sh"
    wine_env "$1"
    shift
    exec "$WINELOADER" "$@"
    ;;
esac

arch=$1
program=$2
shift 2
build="$here/../build/$arch"
source "$here/wine-session.sh"
if [ "$arch" = win32 ] && ! wine_can_run_win32; then
  echo "This machine cannot run 32-bit programs: use win64 (the same code, built for x86_64)." >&2
  exit 2
fi
if [ ! -f "$build/wine-arch" ] || [ ! -f "$build/out/quellmark.dll" ]; then
  echo "build/$arch is not built yet: cmake --preset $arch && cmake --build --preset $arch" >&2
  exit 2
fi
build=$(cd "$build" && pwd)
if [ ! -f "$program" ]; then
  found=$(find "$build/out" "$build/lab" "$build/setup" "$build/uninstall" -maxdepth 1 \
    -iname "$program.exe" 2>/dev/null | head -n 1)
  if [ -z "$found" ]; then
    echo "tools/wine-run.sh: no program $program in build/$arch (nor such a file)" >&2
    exit 2
  fi
  program=$found
fi

trap wine_session_stop EXIT
wine_session_start "$build" show || exit 1
wine_register_band || {
  echo "tools/wine-run.sh: regsvr32 could not register the band; see $build/tour/register.log" >&2
  exit 1
}
status=0
"$WINELOADER" "$program" "$@" || status=$?
exit "$status"
