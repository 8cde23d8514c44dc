#!/bin/bash
# Runs one Windows program of a build under Wine, in that build folder's own
# prefix and architecture; ctest calls it for every Windows test program.
# A prefix that does not exist yet is made by the first run (quietly, in
# about ten seconds); tools/wine-session.sh makes one with the virtual
# desktop and a warm server, as the tests want it.
#   tools/wine-run.sh BUILD_DIR PROGRAM [ARG...]
#   e.g. tools/wine-run.sh build/win64 build/win64/lab/quellmark-lab.exe --help
set -e
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
wine_env "$1"
shift
exec "$WINELOADER" "$@"
