#!/bin/sh
# Copies the product's screenshots that the help shows out of the Wine tests'
# artefacts of build folders, as GIF, which every help viewer shows. Run after
# the Wine tests, e.g.: help/images/update_screenshots.sh build/win32
set -e
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || { echo "usage: $0 <build folder>..." >&2; exit 2; }
pick() {  # <picture in the artefacts> <picture here>
  found=$(find "$@" -name "$picture" -not -path '*/wineprefix/*' 2>/dev/null | head -n 1)
  [ -n "$found" ] || { echo "missing: $picture" >&2; return 1; }
  convert "$found" "$here/$target"
}
while read -r picture target; do
  pick "$@"
done <<'LIST'
band_maximised_popup_windows.png band_popup_windows.gif
band_maximised_preferences.png band_preferences.gif
tools_page.png band_tools.gif
band_minimised.png band_minimised.gif
rule_editor.png rule_editor.gif
log_viewer.png log_viewer.gif
log_settings.png log_settings.gif
about_box.png about_box.gif
setup-2-options.bmp setup_options.gif
uninstall-1-question.bmp uninstall_question.gif
LIST
