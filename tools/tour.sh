#!/bin/bash
# The main job: builds quellmark.dll and the lab, registers the DLL in a Wine
# prefix with the system's own regsvr32, and plays the tour in the lab (a
# stand-in browser) with the real band: on your display when there is one,
# under a private Xvfb otherwise. Prints the trace, a summary of what the
# band did with each window and why, and where its files are. It uses the
# 32-bit build, which is what ships, where this machine can run 32-bit
# programs, and the 64-bit build of the same code elsewhere.
#   tools/tour.sh                 the bundled tour
#   tools/tour.sh SCENARIO...     your own scenario files instead
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
source tools/wine-session.sh
if wine_can_run_win32; then
  preset=win32
  echo "Playing the tour with the 32-bit build, the one that ships (build/win32)."
else
  preset=win64
  echo "This machine cannot run 32-bit programs: playing the tour with the 64-bit build of the same code (build/win64)."
fi
build="$(pwd)/build/$preset"

# Whatever fails, the user learns what and where to look.
step="building quellmark.dll and the lab"
mkdir -p build
build_log="$(pwd)/build/tour-build.log"
tour_end() {
  local status=$?
  wine_session_stop
  [ "$status" -eq 0 ] && return 0
  echo "The tour failed while $step (exit $status)." >&2
  case "$step" in
    building*) echo "The build's output is in $build_log." >&2 ;;
    *) echo "Wine's messages are in ${QM_WINE_LOG:-$build/wine.log}." >&2 ;;
  esac
}
trap tour_end EXIT
cmake --preset "$preset" >"$build_log" 2>&1
cmake --build --preset "$preset" -j"$(nproc)" --target quellmark quellmark-lab >>"$build_log" 2>&1

step="starting Wine"
wine_session_start "$build" show
scenarios=()
for scenario in "$@"; do scenarios+=("$(cd "$(dirname "$scenario")" && pwd)/$(basename "$scenario")"); done
step="playing the tour"
tools/tour/play.sh "$build" "${scenarios[@]}"
