# Source this: wine_env <build dir> points Wine at the build folder's own
# prefix, of the build's own architecture (the file wine-arch that CMake
# writes there), with the loader of that architecture: Debian's wine wrapper
# takes the 32-bit loader whenever it is installed, even where the kernel
# cannot run it, so call $WINELOADER, never plain wine.

wine_env() {
  local build arch
  build=$(cd "$1" 2>/dev/null && pwd) || {
    echo "no build folder $1" >&2
    return 1
  }
  arch=$(cat "$build/wine-arch" 2>/dev/null) || {
    echo "$build/wine-arch is missing: configure that build first (cmake --preset ...)" >&2
    return 1
  }
  export QM_WINE_BUILD="$build"
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH="$arch"
  case "$arch" in
    win64) export WINELOADER=/usr/lib/wine/wine64 ;;
    *) export WINELOADER=/usr/lib/wine/wine ;;
  esac
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
}

# Whether this machine can start a 32-bit program: some kernels run 64-bit
# user code only, and there Wine's 32-bit loader fails with "Exec format error".
wine_can_run_win32() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
