#!/bin/bash
# The main job: builds quellmark.dll and the lab, registers the DLL in a Wine
# prefix with the system's own regsvr32, and plays the tour in the lab (a
# stand-in browser) with the real band: on your display when there is one,
# under a private Xvfb otherwise. Prints the trace, a summary of what the
# band did with each window and why, and where its files are.
#   tools/tour.sh                 the bundled tour
#   tools/tour.sh SCENARIO...     your own scenario files instead
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(pwd)/build/win32"

tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target quellmark quellmark-lab >/dev/null

source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$build" show
scenarios=()
for scenario in "$@"; do scenarios+=("$(cd "$(dirname "$scenario")" && pwd)/$(basename "$scenario")"); done
tools/tour/play.sh "$build" "${scenarios[@]}"
