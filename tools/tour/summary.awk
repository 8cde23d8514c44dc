#!/usr/bin/awk -f
# One row per window a page asked for in the tour's traces: what the band
# did with it and why the tour expected that.
BEGIN {
    why["http://ads.example/pop.html"] = "script popup on load, no rule"
    why["http://news.example/story.html"] = "the user clicked a link"
    why["http://ads.example/exit.html"] = "the page's unload handler was cleared"
    why["http://partner.example/offer.html"] = "white list: partner.example"
    why["http://ads.example/slow.html"] = "never completes: recorded after 15.5 s"
    why["http://ads.example/banner.html"] = "Record Only: shown and recorded"
    why["http://ads.example/black/tracker.html"] = "black list at Record Only"
    order[++n] = "http://ads.example/pop.html"
    order[++n] = "http://news.example/story.html"
    order[++n] = "http://ads.example/exit.html"
    order[++n] = "http://partner.example/offer.html"
    order[++n] = "http://ads.example/slow.html"
    order[++n] = "http://ads.example/banner.html"
    order[++n] = "http://ads.example/black/tracker.html"
}
function lastQuoted(line,    s, i) {
    s = substr(line, 1, length(line) - 1)
    for (i = length(s); i > 0 && substr(s, i, 1) != "\""; i--) {}
    return substr(s, i + 1)
}
function quoted(line,    s) {
    s = substr(line, index(line, "\"") + 1)
    return substr(s, 1, index(s, "\"") - 1)
}
/^new-window announced/ && / by=(script|user) / { asked[quoted($0)] = 1 }
/^new-window (allowed|passed-through|cancelled)/ { if (!(quoted($0) in did)) did[quoted($0)] = $2 }
/^new-window captured/ { u = quoted($0); did[u] = "captured"; into[substr($NF, 6)] = u }
/^capture created .* level=1/ { shown[$3] = 1 }
/^navigation cancelled/ { cancelled[quoted($0)] = 1 }
/^window opened / { opened[lastQuoted($0)] = 1 }
END {
    printf "%-40s %-52s %s\n", "window", "what the band did", "why"
    for (i = 1; i <= n; i++) {
        u = order[i]
        if (!(u in asked)) {
            what = "never opened: no window was asked for"
        } else if (did[u] == "captured") {
            level1 = 0
            for (c in into) if (into[c] == u && (c in shown)) level1 = 1
            if (u in cancelled && u in opened) what = "captured, then reopened as an ordinary window"
            else if (u in cancelled) what = "captured, kept empty, not recorded"
            else if (level1) what = "opened in its own window and recorded"
            else what = "stopped in a hidden browser and recorded"
        } else {
            what = did[u]
        }
        printf "%-40s %-52s %s\n", u, what, why[u]
    }
}
