#!/bin/bash
# Fetches Debian source packages through apt (the deb-src entries that
# tools/install-deps.sh adds) and unpacks each with Debian's patches into
# DEST/NAME. A package already unpacked at that version is left alone.
#   tools/debian-sources.sh DEST NAME=VERSION...
set -euo pipefail
dest=$1
shift
mkdir -p "$dest/download"
for wanted in "$@"; do
  name=${wanted%%=*}
  version=${wanted#*=}
  stamp="$dest/$name/.unpacked-version"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    continue
  fi
  # apt's sandbox user may not write into the build folder.
  (cd "$dest/download" && apt-get source --download-only -qq "$name=$version" 2>&1 |
    grep -v 'unsandboxed' >&2 || true)
  dsc="$dest/download/${name}_${version#*:}.dsc"
  if [ ! -f "$dsc" ]; then
    echo "apt-get source gave no $dsc: is there a deb-src entry (tools/install-deps.sh)?" >&2
    exit 1
  fi
  rm -rf "$dest/$name"
  # apt checked the files against the archive's signed index; the
  # maintainers' own keys, which dpkg-source asks for, are not installed.
  if ! log=$(dpkg-source --no-copy -x "$dsc" "$dest/$name" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  echo "$version" >"$stamp"
done
