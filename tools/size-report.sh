#!/bin/bash
# The size of each deliverable of a Windows build and its largest sections,
# so growth shows in every test log. With --budget, a deliverable larger than
# its budget fails the run: the shipped build is downloaded over modems and
# the DLL is loaded into every browser window.
#   tools/size-report.sh BUILD_DIR [--budget]
set -euo pipefail
build=$1
check_budget=${2:-}
out="$build/out"
case "$(cat "$build/wine-arch")" in
  win32) objdump=i686-w64-mingw32-objdump ;;
  win64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture in $build/wine-arch" >&2; exit 1 ;;
esac
declare -A budget=([quellmark.dll]=180000 [uninstall.exe]=118000 [QuellmarkSetup.exe]=440000)
over=0
for file in quellmark.dll uninstall.exe QuellmarkSetup.exe; do
  path="$out/$file"
  bytes=$(stat -c %s "$path")
  # The four largest sections, by the size their contents take.
  sections=$("$objdump" -h "$path" |
    awk '$1 ~ /^[0-9]+$/ { print $2, $3 }' |
    while read -r name size; do echo "$name $((16#$size))"; done |
    sort -k2,2nr | head -n 4 | awk '{ printf "%s%s %d", sep, $1, $2; sep = ", " }')
  line=$(printf '  %-19s %9d bytes' "$file" "$bytes")
  if [ "$check_budget" = --budget ]; then
    line="$line $(printf '(budget %d)' "${budget[$file]}")"
    if [ "$bytes" -gt "${budget[$file]}" ]; then
      line="$line OVER BUDGET"
      over=$((over + 1))
    fi
  fi
  echo "$line; largest sections: $sections"
done
if [ "$over" -gt 0 ]; then
  echo "$over deliverables of $build are over their budget" >&2
  exit 1
fi
