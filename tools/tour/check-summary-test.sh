#!/bin/bash
# The summary check must fail whenever a summary says other than the band
# decided: a right summary passes, each wrong one fails.
set -euo pipefail
check="$(cd "$(dirname "$0")" && pwd)/check-summary.awk"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/trace" <<'TRACE'
band created quellmark.pop
user click story
new-window announced "http://news.example/story.html" name="" features="" by=user from=main
decision 1 new-window captured because=protection level=2 click=no plug-in=no block-all=no
new-window captured "http://news.example/story.html" into=capture1
decision 1 capture stopped "http://news.example/story.html" because=protection level=2 page=time-limit counted=yes
new-window announced "http://partner.example/" name="" features="" by=script from=main
decision 2 new-window allowed because=white-rule level=2 click=no plug-in=no block-all=no white="Partner"
new-window allowed "http://partner.example/"
new-window announced "http://bank.example/login" name="" features="" by=script from=main
decision 3 new-window allowed because=key level=2 click=no plug-in=no block-all=yes
new-window allowed "http://bank.example/login"
TRACE

right='What the band did, from its decisions:
1.  http://news.example/story.html (the user)
    captured at level 2: the band saw no click, no plug-in, no white rule for
    the page; stopped in a hidden browser and recorded; its page never
    completed: time limit
2.  http://partner.example/ (a script)
    allowed: the page is on the white list (rule "Partner")
3.  http://bank.example/login (a script)
    allowed: Ctrl was held'

status=0
expect() {  # label, wanted exit (0 or 1), summary text
  printf '%s\n' "$3" >"$work/summary"
  local got=0
  awk -v width=80 -f "$check" "$work/trace" "$work/summary" >"$work/out" 2>&1 || got=$?
  if [ "$got" -ne "$2" ]; then
    echo "FAIL $1: exit $got, wanted $2"
    cat "$work/out"
    status=1
  else
    echo "ok   $1"
  fi
}

expect "the right summary" 0 "$right"
expect "a stopped window told as allowed" 1 "${right/captured at level 2: the band saw no click/allowed: a click opened it}"
expect "the time limit left out" 1 "${right/completed: time limit/completed}"
expect "another rule named" 1 "${right/\"Partner\"/\"Friends\"}"
expect "a window left out" 1 "$(printf '%s\n' "$right" | head -n 7)"
expect "Ctrl told as a click" 1 "${right/Ctrl was held/a click opened it (level 2)}"
expect "a line wider than 80" 1 "${right/(a script)/(a script) $(printf '%070d' 0)}"
expect "reopened, which it was not" 1 "${right/time limit/time limit; reopened as an ordinary window}"
exit "$status"
