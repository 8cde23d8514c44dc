#!/bin/bash
# The main job: builds quellmark.dll and the lab, registers the DLL in a Wine
# prefix with the system's own regsvr32, and plays the tour in the lab (a
# stand-in browser) with the real band: on your display when there is one,
# under a private Xvfb otherwise. Prints the trace, what the band did with
# each new window and why (from the band's own decisions), and where its
# files are. It uses the 32-bit build, which is what ships, where this
# machine can run 32-bit programs, and the 64-bit build of the same code
# elsewhere.
#   tools/tour.sh                 the bundled tour
#   tools/tour.sh SCENARIO...     your own scenario files instead
set -euo pipefail
usage="usage: tools/tour.sh [SCENARIO...]"

# Bad input is caught before anything is installed, built or started.
scenarios=()
for argument in "$@"; do
  case "$argument" in
    -h | --help)
      echo "$usage"
      echo "Plays the bundled tour, or your scenario files (see lab/README.md), with the real band."
      exit 0
      ;;
    -*)
      echo "tools/tour.sh: unknown option $argument" >&2
      echo "$usage" >&2
      exit 2
      ;;
  esac
  if [ ! -e "$argument" ]; then
    echo "tools/tour.sh: no such scenario file: $argument" >&2
    exit 2
  elif [ ! -f "$argument" ] || [ ! -r "$argument" ]; then
    echo "tools/tour.sh: not a readable file: $argument" >&2
    exit 2
  fi
  scenarios+=("$(cd "$(dirname "$argument")" && pwd)/$(basename "$argument")")
done

cd "$(dirname "$0")/.."
root=$(pwd)
source tools/wine-session.sh
if wine_can_run_win32; then
  preset=win32
  echo "Playing with the 32-bit build, the one that ships (build/win32)."
else
  preset=win64
  echo "This machine cannot run 32-bit programs: playing with the 64-bit build of the same code (build/win64)."
fi
build="$root/build/$preset"
tour="$build/tour"
mkdir -p "$tour"

# step WHAT LOG COMMAND...: runs one step with its output in LOG; when it
# fails, says which step, shows the end of its log and where the rest is.
step() {
  local what=$1 log=$2 status=0
  shift 2
  printf '%s ... ' "$what"
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "failed (exit $status)."
    echo "The last lines of its log:" >&2
    tail -n 15 "$log" | sed 's/^/  | /' >&2
    echo "The whole log: $log" >&2
    exit "$status"
  fi
  echo "done."
}

build_tour() {
  cmake --preset "$preset" && cmake --build --preset "$preset" -j"$(nproc)" --target quellmark quellmark-lab
}

trap wine_session_stop EXIT
step "Installing missing packages" "$tour/install.log" tools/install-deps.sh
step "Building quellmark.dll and the lab" "$tour/build.log" build_tour
step "Starting Wine" "$tour/wine-start.log" wine_session_start "$build" show
start=$(date +%s)
tools/tour/play.sh "$build" "${scenarios[@]}"
echo "Played in $(($(date +%s) - start)) s."
