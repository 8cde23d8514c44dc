#!/bin/bash
# Plays scenarios in the lab with the real band, inside a running Wine
# session (tools/wine-session.sh): checks every scenario file first,
# registers a copy of the build's quellmark.dll kept in BUILD_DIR/tour, plays
# each scenario, prints its trace and what the band did with each new window
# and why, and checks that summary against the run's decision lines.
# Without scenarios it plays the bundled tour, with the tour's own rules.
# Everything a run leaves stays in BUILD_DIR/tour: the DLL's rules (qmr.dat)
# and activity log (qml.dat) beside it, and per scenario its trace and the
# lab's whole output. Fails, saying where to look, when a scenario has
# errors, an expectation fails or a summary disagrees with its trace.
# With --fresh each scenario starts without rules and with an empty log, so
# what one scenario adds (a rule from the band's menu) cannot decide another.
#   tools/tour/play.sh [--fresh] BUILD_DIR [SCENARIO...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fresh=no
if [ "${1:-}" = --fresh ]; then
  fresh=yes
  shift
fi
build=$(cd "$1" && pwd)
shift
source "$here/../wine-session.sh"
wine_env "$build"
wine() { "$WINELOADER" "$@"; }
winepath() { "$WINELOADER" winepath -w "$1" 2>/dev/null; }
lab="$build/lab/quellmark-lab.exe"
tour="$build/tour"
mkdir -p "$tour"
width=${QM_TOUR_COLUMNS:-80}

# fail WHAT LOG STATUS [shown]: which step failed, the end of its log (unless
# it was shown already), where the whole log is.
fail() {
  echo >&2
  if [ "${4:-}" = shown ]; then
    echo "Failed: $1 (exit $3)." >&2
  else
    echo "Failed: $1 (exit $3). The last lines of its log:" >&2
    tail -n 15 "$2" | sed 's/^/  | /' >&2
  fi
  echo "The whole log: $2" >&2
  [ -z "${fail_also:-}" ] || echo "$fail_also" >&2
  echo "Wine's own messages: ${QM_WINE_LOG:-$build/wine.log}" >&2
  exit "$3"
}

if [ $# -gt 0 ]; then
  scenarios=("$@")
else
  scenarios=("$here/full-protection.txt" "$here/record-only.txt")
fi

check_log="$tour/check.log"
status=0
wine "$lab" --check "${scenarios[@]}" >"$check_log" 2>&1 || status=$?
tr -d '\r' <"$check_log" >&2
[ "$status" -eq 0 ] || fail "checking the scenario files" "$check_log" "$status" shown

status=0
wine_register_band || status=$?
[ "$status" -eq 0 ] || fail "registering $tour/quellmark.dll with regsvr32" "$tour/register.log" "$status"
echo "Registered $tour/quellmark.dll; its rules and log are beside it."

if [ $# -eq 0 ]; then
  # The tour's rules: a partner's popups always allowed, an ad network's always blocked.
  printf '1\033Good partner\033http://partner.example/\033\r\n!\033Ad network\033http://ads.example/black/\033\r\n' \
    >"$tour/qmr.dat"
  rm -f "$tour/qml.dat"
fi

# Trace lines on the terminal: without the scripts the band and the pages run,
# each cut to the width.
shown_trace() {
  awk -v width="$width" '
    /^script (exec|timeout|block|onload|timer) / { next }
    /^$/ { exit }
    { print (length($0) > width ? substr($0, 1, width - 3) "..." : $0) }'
}

play() {  # scenario
  local name base status=0
  name=$(basename "$1")
  base="$tour/${name%.txt}"
  echo
  echo "== $name"
  [ "$fresh" = no ] || rm -f "$tour/qmr.dat" "$tour/qml.dat"
  # The scenario by the path the user gave, so its errors name it so; Wine
  # reads an absolute Unix path through its drive for the root.
  wine "$lab" --summary --trace "$(winepath "$base.trace")" "$1" \
    >"$base.out" 2>"$base.err" || status=$?
  sed -i 's/\r$//' "$base.out" "$base.err"
  shown_trace <"$base.out"
  # The summary follows the trace after one empty line.
  awk 'found { print } /^$/ { found = 1 }' "$base.out" >"$base.summary"
  cat "$base.err" >&2
  if [ "$status" -ne 0 ]; then
    echo
    cat "$base.summary"
    fail_also="Its trace and summary: $base.out"
    fail "playing $name in the lab" "$base.err" "$status" shown
  fi
  awk -v width="$width" -f "$here/check-summary.awk" "$base.trace" "$base.summary" >"$base.check" 2>&1 ||
    fail "checking the summary of $name against its decision lines" "$base.check" 1
}

for scenario in "${scenarios[@]}"; do play "$scenario"; done

# Every run's summary together, where the user looks last.
for scenario in "${scenarios[@]}"; do
  name=$(basename "$scenario")
  echo
  echo "== $name: what the band did with each new window, and why"
  awk 'NR == 1 && /^What the band did/ { next } { print }' "$tour/${name%.txt}.summary"
done

# Where the run's files are, from the repository's root.
shown_tour=${tour#"$(cd "$here/../.." && pwd)/"}
entries=$(grep -c $'\r$' "$tour/qml.dat" 2>/dev/null || true)
echo
echo "Kept in $shown_tour/:"
echo "  qmr.dat                the rules file$([ -f "$tour/qmr.dat" ] || echo ' (none yet)')"
echo "  qml.dat                the activity log, ${entries:-0} entries"
echo "  NAME.trace .out .err   each scenario's trace, output and messages"
