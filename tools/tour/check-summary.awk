#!/usr/bin/awk -f
# Checks what the lab's summary says against the band's own decision lines in
# the trace of the same run: one entry per window asked for, in order; each
# entry tells the outcome, the reason and the capture's ending that the band
# noted (with the rule it named), and nothing it did not; every line fits the
# width. Prints each disagreement and fails on any.
#   check-summary.awk -v width=80 TRACE SUMMARY

function quoted(line,    s) {
    s = substr(line, index(line, "\"") + 1)
    return substr(s, 1, index(s, "\"") - 1)
}
# The value of key=value or key="value" in a trace line.
function option(line, key,    s, at) {
    at = index(line, " " key "=")
    if (!at) return ""
    s = substr(line, at + length(key) + 2)
    if (substr(s, 1, 1) == "\"") {
        s = substr(s, 2)
        return substr(s, 1, index(s, "\"") - 1)
    }
    sub(/ .*/, "", s)
    return s
}
function needs(k, phrase) { need[k] = need[k] "\n" phrase }
function forbids(k, phrase) { forbid[k] = forbid[k] "\n" phrase }
function newWindow(k, line,    outcome, because) {
    decided[k] = 1
    outcome = $4
    because = option(line, "because")
    if (outcome == "allowed") needs(k, "allowed:")
    else if (outcome == "cancelled") needs(k, "cancelled:")
    else if (outcome == "passed-through") needs(k, "passed through:")
    else if (outcome == "not-captured") needs(k, "opened by the browser:")
    else if (outcome == "captured") needs(k, "captured at level " option(line, "level"))
    else needs(k, outcome)
    if (outcome != "captured") forbids(k, "captured at")
    if (because == "click") needs(k, "a click opened it")
    if (because == "reopening") needs(k, "the band opened it again")
    if (because == "level-0") needs(k, "protection is off")
    if (because == "plug-in") needs(k, "over a plug-in")
    if (because == "block-all") needs(k, "Block ALL")
    if (because == "key") needs(k, "Ctrl was held")
    if (because == "capture-limit") needs(k, "as many popups as the band holds")
    if (because == "white-rule") needs(k, "white list (rule \"" option(line, "white") "\")")
    if (outcome == "captured" && option(line, "click") == "no") needs(k, "no click")
}
function conclusion(k, line,    ending) {
    ended[k] = 1
    ending = $4
    if (ending == "stopped") needs(k, "stopped in a hidden browser and recorded")
    else forbids(k, "stopped in a hidden browser")
    if (ending == "shown") needs(k, "shown in a window of its own and recorded")
    if (ending == "reopened") needs(k, "reopened as an ordinary window")
    else forbids(k, "reopened as an ordinary window")
    if (ending == "dropped") needs(k, "dropped: neither recorded nor reopened")
    if (option(line, "page") == "time-limit") needs(k, "time limit")
    else forbids(k, "time limit")
    if (ending == "stopped" && option(line, "counted") == "no") needs(k, "not counted")
    if (option(line, "because") == "black-rule") {
        needs(k, "black list (rule \"" option(line, "black") "\")")
    }
}

FNR == NR {
    if ($0 ~ /^band created /) {
        split("", number)
    } else if ($0 ~ /^new-window announced /) {
        pending = ++windows
        url[windows] = quoted($0)
    } else if ($0 ~ /^new-window /) {
        pending = 0
    } else if ($1 == "decision" && $3 == "new-window" && pending) {
        ++decisions
        number[$2] = pending
        newWindow(pending, $0)
    } else if ($1 == "decision" && $3 == "capture" && ($2 in number)) {
        ++decisions
        conclusion(number[$2], $0)
    }
    next
}
{
    if (length($0) > width) problem("line " FNR " of the summary is wider than " width ": " $0)
    if ($0 ~ /^[0-9]+\. /) {
        entry = $1 + 0
        text[entry] = $0
        first[entry] = $0
        ++entries
    } else if (entry && $0 ~ /^    /) {
        line = $0
        sub(/^ +/, "", line)
        text[entry] = text[entry] " " line
    }
}
function problem(message) {
    print message
    ++problems
}
END {
    if (entries != windows) problem("the summary has " entries " entries, the trace " windows " windows")
    for (k = 1; k <= windows; k++) {
        if (index(first[k], substr(url[k], 1, 12)) == 0) {
            problem("entry " k " is not about " url[k] ": " first[k])
        }
        if (!decided[k]) needs(k, "no decision from the band")
        n = split(substr(need[k], 2), phrases, "\n")
        for (i = 1; i <= n; i++) {
            if (index(text[k], phrases[i]) == 0) problem("entry " k " does not say \"" phrases[i] "\": " text[k])
        }
        n = split(substr(forbid[k], 2), phrases, "\n")
        for (i = 1; i <= n; i++) {
            if (index(text[k], phrases[i]) != 0) problem("entry " k " says \"" phrases[i] "\", which the band did not decide: " text[k])
        }
    }
    if (problems) exit 1
    print "The summary agrees with the trace: " windows " windows, " decisions " decisions."
}
