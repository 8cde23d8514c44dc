#!/bin/sh
# Runs one Windows program of the i686 build under Wine, in the build folder's
# own 32-bit prefix. tools/wine-env.sh prepares the prefix, Xvfb and wineserver.
here=$(cd "$(dirname "$0")" && pwd)
: "${QM_WINE_BUILD:=$here/../build/win32}"
export WINEPREFIX="${WINEPREFIX:-$QM_WINE_BUILD/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
exec wine "$@"
