#!/bin/sh
# Draws the wizards' pictures and the programs' icon with ImageMagick and
# writes them into OUT_DIR, by default beside this script. The results are
# committed, so the build needs neither ImageMagick nor the fonts; run this
# again after a change (and uninstall/resources/pictures/make_pictures.sh,
# which takes the uninstaller's from here).
#   logo.bmp / logo.jpg     200 x 175  the logo at the left of every wizard page
#   browser_open.bmp        204 x  52  top of "Installation Cannot Proceed"
#   explorer_bar_menu.bmp   255 x 115  finished page: where the band is chosen
#   quellmark.ico           48, 32, 16 the installer's and uninstaller's icon,
#                                      each size in 32 bits, 256 and 16 colours
# Each bitmap is then written in its smallest exact encoding
# (tools/exact_bmp.py).
#   make_pictures.sh [OUT_DIR]
set -e
here=$(cd "$(dirname "$0")" && pwd)
tools="$here/../../../tools"
help_images="$here/../../../help/images"
cd "${1:-$here}"
bold=DejaVu-Sans-Bold
plain=DejaVu-Sans
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A browser window (white page, blue title bar) with a small popup window
# over it that a red "no entry" sign stops.
convert -size 200x175 gradient:'#1c2f5e'-'#3f7cc4' \
  -fill '#f4f6fa' -stroke '#0d1a38' -strokewidth 1 -draw 'rectangle 38,16 162,96' \
  -fill '#2a4f96' -stroke none -draw 'rectangle 39,17 161,27' \
  -fill '#c8d2e6' -draw 'rectangle 46,34 154,38' -draw 'rectangle 46,44 130,48' \
  -draw 'rectangle 46,54 144,58' -draw 'rectangle 46,64 120,68' \
  -fill '#ffffff' -stroke '#0d1a38' -draw 'rectangle 96,46 150,88' \
  -fill '#8a9bbd' -stroke none -draw 'rectangle 97,47 149,53' \
  -fill none -stroke '#d21f1f' -strokewidth 6 -draw 'circle 123,70 123,52' \
  -draw 'line 111,58 135,82' \
  -fill white -stroke none -font "$bold" -pointsize 28 -gravity north -annotate +0+108 'quellmark' \
  -fill '#d6e2f5' -font "$plain" -pointsize 11 -annotate +0+146 'v1.01  by Marrow Labs' \
  "$tmp/logo.png"
convert "$tmp/logo.png" -type truecolor BMP3:logo.bmp
convert "$tmp/logo.png" -strip -quality 90 -interlace none -sampling-factor 2x2 logo.jpg

# A warning strip: a browser window crossed out, and what to do about it.
convert -size 204x52 xc:'#fff6d5' \
  -fill none -stroke '#b38600' -strokewidth 1 -draw 'rectangle 0,0 203,51' \
  -fill white -stroke '#3b4a6b' -draw 'rectangle 10,10 44,40' \
  -fill '#2a4f96' -stroke none -draw 'rectangle 11,11 43,17' \
  -stroke '#d21f1f' -strokewidth 4 -draw 'line 14,20 40,38' -draw 'line 40,20 14,38' \
  -fill '#3b2a00' -stroke none -font "$bold" -pointsize 12 -annotate +54+22 'Internet Explorer' \
  -font "$plain" -pointsize 10 -annotate +54+39 'must be closed first' \
  -type truecolor BMP3:browser_open.bmp

# The browser's View menu opened at Explorer Bar, with quellmark chosen.
convert -size 255x115 xc:'#d4d0c8' \
  -fill '#ffffff' -draw 'rectangle 0,0 254,16' \
  -fill black -font "$plain" -pointsize 11 \
  -annotate +6+12 'File   Edit   View   Favorites   Tools' \
  -fill '#0a246a' -draw 'rectangle 64,1 96,15' -fill white -annotate +68+12 'View' \
  -fill '#d4d0c8' -stroke '#808080' -draw 'rectangle 64,16 164,112' -stroke none \
  -fill black -annotate +76+32 'Toolbars' -annotate +76+50 'Status Bar' \
  -fill '#0a246a' -draw 'rectangle 67,56 161,72' -fill white -annotate +76+68 'Explorer Bar' \
  -fill black -annotate +76+86 'Go To' -annotate +76+104 'Refresh' \
  -draw 'polygon 154,60 158,64 154,68' \
  -fill '#d4d0c8' -stroke '#808080' -draw 'rectangle 164,56 252,112' -stroke none \
  -fill black -annotate +174+72 'Search' -annotate +174+88 'Favorites' \
  -fill '#0a246a' -draw 'rectangle 167,93 249,109' -fill white -font "$bold" \
  -annotate +174+105 'quellmark' \
  -type truecolor BMP3:explorer_bar_menu.bmp

python3 "$tools/exact_bmp.py" logo.bmp browser_open.bmp explorer_bar_menu.bmp

# The icon: the logo's window and its stop sign, drawn at 48 pixels and made
# smaller for 32; the 16-pixel one is drawn pixel by pixel in icon16.txt.
icon() {
  size=$1
  convert -size 48x48 xc:none \
    -fill '#f4f6fa' -stroke '#0d1a38' -strokewidth 2 -draw 'rectangle 3,5 44,42' \
    -fill '#2a4f96' -stroke none -draw 'rectangle 4,6 43,13' \
    -fill none -stroke '#d21f1f' -strokewidth 5 -draw 'circle 24,28 24,17' \
    -draw 'line 17,21 31,35' \
    -resize "${size}x${size}" -depth 8 "rgba:$tmp/icon$size.rgba"
}
icon 48; icon 32
python3 "$tools/make_icon.py" quellmark.ico 48:"$tmp/icon48.rgba" 32:"$tmp/icon32.rgba" \
  16:"$here/icon16.txt"

# The help shows the menu picture too.
convert explorer_bar_menu.bmp "$help_images/explorer_bar_menu.gif"
