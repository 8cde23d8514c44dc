#!/bin/bash
# Plays the tour in a running Wine session (see tools/wine-session.sh):
# registers quellmark.dll, writes the tour's rules, plays both scenarios with
# their expectations and prints the summary. Fails when an expectation fails.
#   tools/tour/play.sh BUILD_DIR [SCENARIO...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift
source "$here/../wine-env.sh"
wine_env "$build"
wine() { "$WINELOADER" "$@"; }
winepath() { "$WINELOADER" winepath "$@"; }
out="$build/out"
lab="$build/lab/quellmark-lab.exe"

log="${QM_WINE_LOG:-/dev/null}"
dll="$(winepath -w "$out/quellmark.dll")"
wine regsvr32 /s "$dll" 2>>"$log" || {
  echo "regsvr32 could not register $dll (exit $?)" >&2
  exit 1
}
echo "registered $dll"

play() {  # scenario, trace file
  echo
  echo "== $(basename "$1")"
  local status=0
  wine "$lab" --trace "$(winepath -w "$2")" "$(winepath -w "$1")" |
    { grep -v '^script \(exec\|timeout\)' || true; } || status=$?
  if [ "$status" -ne 0 ]; then
    echo "the lab ended with exit $status on $1; its trace is in $2" >&2
    return "$status"
  fi
}

if [ $# -gt 0 ]; then
  for scenario in "$@"; do play "$scenario" "$build/tour-$(basename "$scenario").trace"; done
  exit 0
fi

# The tour's rules: a partner's popups always allowed, an ad network's always blocked.
printf '1\033Good partner\033http://partner.example/\033\r\n!\033Ad network\033http://ads.example/black/\033\r\n' \
  >"$out/qmr.dat"
rm -f "$out/qml.dat"

full="$build/tour-full-protection.trace"
record="$build/tour-record-only.trace"
play "$here/full-protection.txt" "$full"
play "$here/record-only.txt" "$record"

echo
echo "== What the band did"
"$here/summary.awk" "$full" "$record"
echo
echo "Rules file:   $out/qmr.dat  ($(winepath -w "$out/qmr.dat"))"
entries=$(grep -c $'\r$' "$out/qml.dat" 2>/dev/null || true)
echo "Activity log: $out/qml.dat  ($(winepath -w "$out/qml.dat")), ${entries:-0} entries"
