#include "lab/decision_summary.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "lab/scenario_line.h"

namespace qm::lab {
namespace {

constexpr std::size_t kIndent = 4;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// One trace line's words: bare words and quoted texts in order, options by key.
struct LineWords {
    std::vector<std::string> bare;
    std::vector<std::string> quoted;
    std::vector<std::pair<std::string, std::string>> options;

    std::string word(std::size_t index) const { return index < bare.size() ? bare[index] : ""; }
    std::string text() const { return quoted.empty() ? "" : quoted.front(); }
    std::optional<std::string> option(std::string_view key) const {
        for (const auto& [name, value] : options) {
            if (name == key) return value;
        }
        return std::nullopt;
    }
    std::string value(std::string_view key) const { return option(key).value_or(""); }
};

LineWords Split(std::string_view line) {
    LineWords words;
    ScenarioLine reader(line);
    while (std::optional<Word> word = reader.next()) {
        if (!word->key.empty()) {
            words.options.emplace_back(word->key, word->text);
        } else if (word->quoted) {
            words.quoted.push_back(word->text);
        } else {
            words.bare.push_back(word->text);
        }
    }
    return words;
}

// A window a page (or the band) asked for, and what the trace says of it.
struct AskedWindow {
    std::string url;
    std::string by;
    std::string browserOutcome;
    std::optional<LineWords> decision;
    std::optional<LineWords> navigation;
    std::optional<LineWords> conclusion;
};

std::string RuleText(const LineWords& line, const char* list, const char* listName) {
    std::optional<std::string> rule = line.option(list);
    return std::string("the ") + listName + " list" + (rule ? " (rule \"" + *rule + "\")" : "");
}

std::string LevelText(const LineWords& line) {
    std::string level = line.value("level");
    return "level " + level + (level == "1" ? ", Record Only" : "");
}

std::string NewWindowText(const AskedWindow& window) {
    const LineWords& d = *window.decision;
    std::string because = d.value("because");
    std::string outcome = d.word(3);
    if (because == "bar-hidden") return "passed through: the bar was hidden, so the band let it be";
    if (because == "level-0") return "allowed: protection is off (level 0)";
    if (because == "click") return "allowed: a click opened it (" + LevelText(d) + ")";
    if (because == "reopening") return "allowed: the band opened it again itself";
    if (because == "plug-in") {
        return "allowed: the pointer was over a plug-in (" + LevelText(d) + ")";
    }
    if (because == "white-rule") return "allowed: the page is on " + RuleText(d, "white", "white");
    if (because == "key") return "allowed: Ctrl was held";
    if (because == "block-all") return "cancelled: Block ALL new windows is on";
    if (because == "capture-limit") return "cancelled: as many popups as the band holds still load";
    if (because == "no-capture") return "opened by the browser: no capture browser could be made";
    if (because == "protection") {
        std::string click = window.by == "user" ? "the band saw no click" : "no click";
        return "captured at " + LevelText(d) + ": " + click +
               (d.value("plug-in") == "yes" ? "" : ", no plug-in") + ", no white rule for the page";
    }
    return outcome + " (because " + because + ")";
}

std::string NavigationText(const LineWords& n) {
    if (n.word(3) != "held") return "";
    std::string because = n.value("because");
    if (because == "link") return "it went where the user's link pointed";
    if (because == "white-rule") return "its address is on " + RuleText(n, "white", "white");
    if (because == "black-rule") return "its address is on " + RuleText(n, "black", "black");
    return "its loading was held (because " + because + ")";
}

std::string ConclusionText(const LineWords& c) {
    std::string ending = c.word(3);
    std::string text;
    if (ending == "stopped") {
        text = "stopped in a hidden browser and recorded";
        if (c.value("counted") != "yes") {
            text += ", not counted";
            if (c.value("because") == "white-rule") text += ": " + RuleText(c, "white", "white");
        }
    } else if (ending == "shown") {
        text = "shown in a window of its own and recorded";
    } else if (ending == "reopened") {
        text = "reopened as an ordinary window";
    } else if (ending == "dropped") {
        text = "dropped: neither recorded nor reopened";
        if (c.value("because") == "black-rule") text += ", " + RuleText(c, "black", "black");
    } else {
        text = "ended " + ending;
    }
    if (c.value("page") == "time-limit") text += "; its page never completed: time limit";
    return text;
}

std::string Explain(const AskedWindow& window) {
    if (!window.decision) {
        std::string outcome = window.browserOutcome.empty() ? "nothing" : window.browserOutcome;
        return "no decision from the band (none was listening); the browser: " + outcome;
    }
    std::string text = NewWindowText(window);
    if (window.navigation) {
        std::string navigation = NavigationText(*window.navigation);
        if (!navigation.empty()) text += "; " + navigation;
    }
    if (window.conclusion) {
        text += "; " + ConclusionText(*window.conclusion);
    } else if (window.decision->word(3) == "captured") {
        text += "; still loading when the run ended";
    }
    return text;
}

std::string Shortened(const std::string& text, std::size_t room) {
    if (text.size() <= room) return text;
    if (room < 5) return text.substr(0, room);
    std::size_t head = (room - 3) * 2 / 3;
    std::size_t tail = room - 3 - head;
    return text.substr(0, head) + "..." + text.substr(text.size() - tail);
}

// Words of `text` on lines of at most `width` columns, each after `indent` blanks.
void Wrap(const std::string& text, std::size_t width, std::vector<std::string>& out) {
    std::size_t room = width > kIndent + 10 ? width - kIndent : 10;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        while (word.size() > room) {
            if (!line.empty()) out.push_back(std::string(kIndent, ' ') + line);
            line.clear();
            out.push_back(std::string(kIndent, ' ') + word.substr(0, room));
            word.erase(0, room);
        }
        if (!line.empty() && line.size() + 1 + word.size() > room) {
            out.push_back(std::string(kIndent, ' ') + line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) out.push_back(std::string(kIndent, ' ') + line);
}

std::string AskedBy(const std::string& by) {
    if (by == "script") return " (a script)";
    if (by == "user") return " (the user)";
    if (by == "caller") return " (the band)";
    return by.empty() ? "" : " (" + by + ")";
}

std::vector<AskedWindow> ReadWindows(const std::vector<std::string>& trace) {
    std::vector<AskedWindow> windows;
    // The band numbers the windows it decides on; a new band starts again.
    std::map<std::string, std::size_t> byNumber;
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t pending = kNone;
    for (const std::string& line : trace) {
        if (StartsWith(line, "band created ")) {
            byNumber.clear();
        } else if (StartsWith(line, "new-window announced ")) {
            LineWords words = Split(line);
            windows.push_back({words.text(), words.value("by"), "", {}, {}, {}});
            pending = windows.size() - 1;
        } else if (StartsWith(line, "new-window ")) {
            if (pending != kNone) windows[pending].browserOutcome = Split(line).word(1);
            pending = kNone;
        } else if (StartsWith(line, "decision ")) {
            LineWords words = Split(line);
            std::string number = words.word(1);
            std::string step = words.word(2);
            if (step == "new-window") {
                if (pending == kNone) continue;
                windows[pending].decision = std::move(words);
                byNumber[number] = pending;
                continue;
            }
            auto known = byNumber.find(number);
            if (known == byNumber.end()) continue;
            AskedWindow& window = windows[known->second];
            if (step == "navigation") window.navigation = std::move(words);
            if (step == "capture") window.conclusion = std::move(words);
        }
    }
    return windows;
}

}  // namespace

std::vector<std::string> SummarizeDecisions(const std::vector<std::string>& trace,
                                            std::size_t width) {
    std::vector<AskedWindow> windows = ReadWindows(trace);
    std::vector<std::string> out;
    if (windows.empty()) {
        out.push_back("No page asked for a new window.");
        return out;
    }
    out.push_back("What the band did, from its decisions:");
    std::size_t number = 0;
    for (const AskedWindow& window : windows) {
        std::string label = std::to_string(++number) + ".";
        label.resize(std::max(kIndent, label.size() + 1), ' ');
        std::string by = AskedBy(window.by);
        std::size_t used = label.size() + by.size();
        std::size_t room = width > used + 5 ? width - used : 5;
        out.push_back(label + Shortened(window.url.empty() ? "(no address)" : window.url, room) +
                      by);
        Wrap(Explain(window), width, out);
    }
    return out;
}

}  // namespace qm::lab
