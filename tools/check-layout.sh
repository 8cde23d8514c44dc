#!/bin/bash
# The layout's two rules, checked by the compiler and by the include lines:
#  1. Windows code lives in win32/ folders: every other header and source
#     (tools/ aside) compiles on its own with the host's g++, so none
#     includes a Windows header, directly or through a project header.
#  2. Lower folders do not reach up: common/ includes nothing of the
#     subsystems; nothing below the DLL includes a file of band/; the shared
#     wizard code and the uninstaller include nothing of setup/.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

mapfile -t portable < <(find . \( -path ./build -o -path ./tools -o -path ./cmake \
                                  -o -path ./.git -o -name win32 \) -prune \
                               -o \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort)
mapfile -t failed < <(printf '%s\n' "${portable[@]}" |
  xargs -P "$(nproc)" -I{} sh -c 'g++ -std=c++17 -fsyntax-only -I. -x c++ "{}" 2>/dev/null || echo "{}"' |
  sort)
for file in "${failed[@]}"; do
  echo "layout: $file is outside a win32/ folder but does not compile without Windows:" >&2
  g++ -std=c++17 -fsyntax-only -I. -x c++ "$file" 2>&1 | grep -m 2 'error' >&2
  status=1
done

# forbid FOLDERS PREFIX...: no file of FOLDERS includes a project file under PREFIX.
forbid() {
  local folders=$1
  shift
  for prefix in "$@"; do
    local hits
    hits=$(grep -rn --include='*.h' --include='*.cpp' --include='*.rc' "^#include \"$prefix" $folders)
    if [ -n "$hits" ]; then
      echo "layout: $folders must not include $prefix:" >&2
      echo "$hits" >&2
      status=1
    fi
  done
}
forbid common guard/ page/ rules/ log/ settings/ band/ wizard/ setup/ uninstall/ lab/
forbid "guard page rules log settings wizard" band/
forbid "wizard uninstall" setup/

if [ "$status" -eq 0 ]; then
  echo "layout: ${#portable[@]} portable headers and sources compile without Windows; no folder reaches up"
fi
exit "$status"
