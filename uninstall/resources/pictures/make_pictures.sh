#!/bin/sh
# The uninstaller's pictures are the installer's logo and icon: drawn by the
# installer's script into a folder of their own, and the three the
# uninstaller shows kept beside this script. Run it after that script.
#   logo.bmp / logo.jpg     200 x 175  the logo at the left of both pages
#   quellmark.ico           48, 32, 16 the program's icon
set -e
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sh "$here/../../../setup/resources/pictures/make_pictures.sh" "$tmp"
cp "$tmp/logo.bmp" "$tmp/logo.jpg" "$tmp/quellmark.ico" "$here/"
