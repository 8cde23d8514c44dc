#include "lab/scenario_parser.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "common/text.h"
#include "lab/scenario_line.h"
#include "lab/setting_values.h"
#include "lab/trace_lines.h"
#include "lab/window_features.h"

namespace qm::lab {
namespace {

using Kind = Action::Kind;

struct ActionWord {
    const char* word;
    Kind kind;
    enum class Argument {
        None,
        Element,
        Address,
        Milliseconds,
        Size,
        Menu,
        Text,       // one text in quotes
        Row,        // a row number or an address in quotes
        RowMenu,    // a row, then the menu item in quotes
        LabelText,  // a label and a text, both in quotes
        HeldKey,    // the one key the lab can hold: ctrl
        // Controls and places as the user points at them.
        Control,   // a text in quotes and in="GROUP", or bar-button
        Rule,      // a rule's name in quotes and in="GROUP"
        Key,       // a key's name
        ListPlace  // a row number, a text in quotes, or below
    } argument;
};

const ActionWord kActions[] = {
    {"navigate", Kind::Navigate, ActionWord::Argument::Address},
    {"leave-page", Kind::LeavePage, ActionWord::Argument::None},
    {"press", Kind::Press, ActionWord::Argument::Element},
    {"release", Kind::Release, ActionWord::Argument::Element},
    {"click", Kind::Click, ActionWord::Argument::Element},
    {"right-click", Kind::RightClick, ActionWord::Argument::Element},
    {"open-in-new-window", Kind::OpenInNewWindow, ActionWord::Argument::Element},
    {"hover", Kind::Hover, ActionWord::Argument::Element},
    {"leave", Kind::Leave, ActionWord::Argument::Element},
    {"resize", Kind::Resize, ActionWord::Argument::Size},
    {"wait", Kind::Wait, ActionWord::Argument::Milliseconds},
    {"open-bar", Kind::OpenBar, ActionWord::Argument::None},
    {"close-bar", Kind::CloseBar, ActionWord::Argument::None},
    {"hide-bar", Kind::HideBar, ActionWord::Argument::None},
    {"show-bar", Kind::ShowBar, ActionWord::Argument::None},
    {"bar-menu", Kind::BarMenu, ActionWord::Argument::Menu},
    {"hold-key", Kind::HoldKey, ActionWord::Argument::HeldKey},
    {"release-key", Kind::ReleaseKey, ActionWord::Argument::HeldKey},
    {"band-tab", Kind::BandTab, ActionWord::Argument::Text},
    {"band-click", Kind::BandClick, ActionWord::Argument::Control},
    {"band-hover", Kind::BandHover, ActionWord::Argument::Control},
    {"band-level", Kind::BandLevel, ActionWord::Argument::Text},
    {"band-open-row", Kind::BandOpenRow, ActionWord::Argument::ListPlace},
    {"band-row-menu", Kind::BandRowMenu, ActionWord::Argument::RowMenu},
    {"band-open-rule", Kind::BandOpenRule, ActionWord::Argument::Rule},
    {"band-select-rule", Kind::BandSelectRule, ActionWord::Argument::Rule},
    {"band-key", Kind::BandKey, ActionWord::Argument::Key},
    {"dialog-fill", Kind::DialogFill, ActionWord::Argument::LabelText},
    {"dialog-tick", Kind::DialogTick, ActionWord::Argument::Text},
    {"dialog-untick", Kind::DialogUntick, ActionWord::Argument::Text},
    {"dialog-press", Kind::DialogPress, ActionWord::Argument::Text},
    {"dialog-click-row", Kind::DialogClickRow, ActionWord::Argument::ListPlace},
    {"dialog-wait", Kind::DialogWait, ActionWord::Argument::Milliseconds},
};

std::optional<int> Number(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> SignedNumber(std::string_view text) {
    if (!text.empty() && text[0] == '-') {
        std::optional<int> value = Number(text.substr(1));
        if (value) return -*value;
        return std::nullopt;
    }
    return Number(text);
}

// "800x600" or "10,20".
std::optional<std::pair<int, int>> Pair(std::string_view text, char separator, bool allowSign) {
    std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return std::nullopt;
    auto read = [&](std::string_view part) {
        return allowSign ? SignedNumber(part) : Number(part);
    };
    std::optional<int> first = read(text.substr(0, at));
    std::optional<int> second = read(text.substr(at + 1));
    if (!first || !second) return std::nullopt;
    return std::make_pair(*first, *second);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Keywords that only stand outside a page: met inside one, they mean its
// end line is missing.
bool IsTopLevelKeyword(const std::string& keyword) {
    static const char* const kWords[] = {"page", "popup",   "band",  "browser",
                                         "bar",  "setting", "expect"};
    for (const char* word : kWords) {
        if (keyword == word) return true;
    }
    for (const ActionWord& action : kActions) {
        if (keyword == action.word) return true;
    }
    return false;
}

bool IsTraceWord(std::string_view word) {
    for (std::size_t i = 0; i < kTraceWordCount; ++i) {
        if (word == kTraceWords[i]) return true;
    }
    return false;
}

std::string TraceWordList() {
    std::string list;
    for (std::size_t i = 0; i < kTraceWordCount; ++i) {
        if (i) list += ", ";
        list += kTraceWords[i];
    }
    return list;
}

class Parser {
public:
    ParsedScenario run(std::string_view text) {
        std::size_t start = 0;
        while (start < text.size() && !blockBroken_) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            ++lineNumber_;
            parseLine(text.substr(start, end - start));
            start = end + 1;
        }
        if (page_ && !blockBroken_) {
            fail("the page " + page_->url + " has no end line", pageLine_);
        }
        // The first cause first: a page's missing end is told at its first line.
        std::stable_sort(
            result_.errors.begin(), result_.errors.end(),
            [](const ScenarioError& a, const ScenarioError& b) { return a.line < b.line; });
        return std::move(result_);
    }

private:
    void fail(const std::string& message, int line = 0) {
        result_.errors.push_back({line ? line : lineNumber_, message});
    }

    void parseLine(std::string_view raw) {
        std::string_view trimmed = Trim(raw);
        if (trimmed.empty() || trimmed[0] == '#') return;
        ScenarioLine line(trimmed);
        std::optional<Word> keyword = line.next();
        if (!keyword || keyword->quoted || !keyword->key.empty()) {
            fail("a line must begin with a keyword");
            return;
        }
        if (page_ && IsTopLevelKeyword(keyword->text)) {
            // Whatever follows would be read in the wrong place: one error, and stop.
            fail("the page " + page_->url + " from line " + std::to_string(pageLine_) +
                 " has no end line before this " + keyword->text + " line");
            blockBroken_ = true;
        } else if (page_) {
            parsePageLine(keyword->text, line);
        } else {
            parseTopLine(keyword->text, line);
        }
        if (!line.error().empty()) fail(line.error());
    }

    // The one plain word the keyword takes, and nothing after it.
    std::optional<std::string> single(ScenarioLine& line, const char* what) {
        std::optional<Word> word = line.next();
        if (!word || !word->key.empty()) {
            if (line.error().empty()) fail(std::string("expected ") + what);
            return std::nullopt;
        }
        if (!line.atEnd()) {
            fail("unexpected text after " + word->text);
            return std::nullopt;
        }
        return word->text;
    }

    std::optional<std::pair<int, int>> size(ScenarioLine& line) {
        std::optional<std::string> text = single(line, "a size such as 800x600");
        if (!text) return std::nullopt;
        std::optional<std::pair<int, int>> size = Pair(*text, 'x', false);
        if (!size) fail("expected a size such as 800x600, not " + *text);
        return size;
    }

    void parseTopLine(const std::string& keyword, ScenarioLine& line) {
        if (keyword == "page" || keyword == "popup") {
            std::optional<std::string> url = single(line, "an address");
            if (!url) return;
            if (result_.scenario.findPage(*url)) fail("the page " + *url + " is declared twice");
            result_.scenario.pages.emplace_back();
            page_ = &result_.scenario.pages.back();
            page_->url = *url;
            pageLine_ = lineNumber_;
        } else if (keyword == "band") {
            if (std::optional<std::string> band = single(line, "a ProgID, a {CLSID} or none")) {
                result_.scenario.band = *band;
            }
        } else if (keyword == "browser") {
            if (std::optional<std::pair<int, int>> wh = size(line)) {
                result_.scenario.browserWidth = wh->first;
                result_.scenario.browserHeight = wh->second;
            }
        } else if (keyword == "bar") {
            std::optional<std::string> state = single(line, "open or closed");
            if (state && *state != "open" && *state != "closed") {
                fail("expected open or closed, not " + *state);
            } else if (state) {
                result_.scenario.barOpen = *state == "open";
            }
        } else if (keyword == "setting") {
            parseSetting(line);
        } else if (keyword == "expect") {
            parseExpectation(line);
        } else if (keyword == "end") {
            fail("end without a page");
        } else {
            parseAction(keyword, line);
        }
    }

    void parseSetting(ScenarioLine& line) {
        std::optional<Word> name = line.next();
        std::optional<Word> value = line.next();
        std::optional<int> number = value && value->key.empty() && !value->quoted
                                        ? SignedNumber(value->text)
                                        : std::nullopt;
        if (!name || !name->key.empty() || name->quoted || !number || !line.atEnd()) {
            if (line.error().empty()) fail("setting needs a name and a number");
            return;
        }
        for (std::size_t i = 0; i < kBandSettingCount; ++i) {
            if (name->text == kBandSettingNames[i]) {
                result_.scenario.settings.push_back({name->text, *number});
                return;
            }
        }
        fail("unknown setting " + name->text);
    }

    void parseExpectation(ScenarioLine& line) {
        Expectation expectation{Expectation::Kind::InOrder, "", 0, lineNumber_};
        std::string_view rest = line.rest();
        auto take = [&rest](std::string_view word) {
            if (rest.substr(0, word.size()) != word || rest.size() == word.size() ||
                (rest[word.size()] != ' ' && rest[word.size()] != '\t')) {
                return false;
            }
            rest = TrimLeft(rest.substr(word.size()));
            return true;
        };
        if (take("with-band")) {
            expectation.condition = Expectation::Condition::WithBand;
        } else if (take("without-band")) {
            expectation.condition = Expectation::Condition::WithoutBand;
        }
        if (take("no")) {
            expectation.kind = Expectation::Kind::Absent;
        } else if (take("anywhere")) {
            expectation.kind = Expectation::Kind::Anywhere;
        } else if (take("count")) {
            expectation.kind = Expectation::Kind::Count;
            std::size_t blank = rest.find_first_of(" \t");
            std::optional<int> count = Number(rest.substr(0, blank));
            if (!count || blank == std::string_view::npos) {
                fail("expect count needs a number and a pattern");
                return;
            }
            expectation.count = *count;
            rest = TrimLeft(rest.substr(blank));
        }
        if (rest.empty()) {
            fail("expect needs a pattern");
            return;
        }
        std::string_view first = rest.substr(0, rest.find_first_of(" \t"));
        if (first.find('*') == std::string_view::npos && !IsTraceWord(first)) {
            fail("expect does not know " + std::string(first) +
                 ": it takes with-band or without-band, then no, anywhere or count N, then a "
                 "pattern that begins with * or a trace word (" +
                 TraceWordList() + ")");
            return;
        }
        expectation.pattern = std::string(rest);
        result_.scenario.expectations.push_back(std::move(expectation));
    }

    // bar-menu [X,Y] ["ITEM"]
    bool parseMenu(ScenarioLine& line, Action& action) {
        std::optional<Word> word = line.next();
        if (word && !word->quoted && word->key.empty()) {
            std::optional<std::pair<int, int>> point = Pair(word->text, ',', true);
            if (!point) {
                fail("bar-menu takes a point such as 20,30 and an item in quotes");
                return false;
            }
            action.first = point->first;
            action.second = point->second;
            action.pointGiven = true;
            word = line.next();
        }
        if (word && word->quoted && word->key.empty() && line.atEnd()) {
            action.target = word->text;
            return true;
        }
        if (!word && line.error().empty()) return true;
        if (line.error().empty())
            fail("bar-menu takes a point such as 20,30 and an item in quotes");
        return false;
    }

    // A text in quotes, not empty.
    std::optional<std::string> text(ScenarioLine& line, const std::string& keyword,
                                    const char* what) {
        std::optional<Word> word = line.next();
        if (word && word->quoted && word->key.empty() && !word->text.empty()) return word->text;
        if (line.error().empty()) fail(keyword + " takes " + what + " in quotes");
        return std::nullopt;
    }

    // A row of the popup list: its number from 1 (the top row), or its
    // address in quotes.
    bool parseRow(ScenarioLine& line, const std::string& keyword, Action& action) {
        std::optional<Word> word = line.next();
        std::optional<int> number =
            word && !word->quoted && word->key.empty() ? Number(word->text) : std::nullopt;
        if (number && *number > 0) {
            action.first = *number;
            return true;
        }
        if (word && word->quoted && word->key.empty() && !word->text.empty()) {
            action.target = word->text;
            return true;
        }
        if (line.error().empty()) {
            fail(keyword + " takes a row number from 1 or the row's address in quotes");
        }
        return false;
    }

    // A row as parseRow reads it, or below: the empty space under the rows.
    bool parseListPlace(ScenarioLine& line, const std::string& keyword, Action& action) {
        ScenarioLine ahead = line;
        std::optional<Word> word = ahead.next();
        if (word && !word->quoted && word->key.empty() && word->text == "below") {
            line = ahead;
            action.belowRows = true;
            return true;
        }
        if (parseRow(line, keyword, action)) return true;
        if (line.error().empty()) {
            result_.errors.back().message += ", or below";
        }
        return false;
    }

    // "TEXT" [in="GROUP"]; a control may also be bar-button, a rule's
    // place below (the empty space under a list's rules).
    bool parseNamed(ActionWord::Argument argument, ScenarioLine& line, const std::string& keyword,
                    Action& action) {
        bool control = argument == ActionWord::Argument::Control;
        const char* usage = control ? " takes a text in quotes, then in=\"GROUP\", or bar-button"
                                    : " takes a rule's name in quotes or below, then in=\"GROUP\"";
        std::optional<Word> word = line.next();
        bool bare = word && !word->quoted && word->key.empty();
        if (control && bare && word->text == "bar-button") {
            action.barButton = true;
            return true;
        }
        if (!control && bare && word->text == "below") {
            action.belowRows = true;
        } else if (!word || !word->quoted || !word->key.empty() || word->text.empty()) {
            if (line.error().empty()) fail(keyword + usage);
            return false;
        } else {
            action.target = word->text;
        }
        ScenarioLine ahead = line;
        std::optional<Word> group = ahead.next();
        if (group && group->key == "in") {
            if (group->text.empty()) {
                fail(keyword + usage);
                return false;
            }
            action.group = group->text;
            line = ahead;
        }
        return true;
    }

    bool parseKey(ScenarioLine& line, const std::string& keyword, Action& action) {
        std::optional<Word> word = line.next();
        for (std::size_t i = 0; word && !word->quoted && word->key.empty() && i < kKeyNameCount;
             ++i) {
            if (word->text == kKeyNames[i]) {
                action.target = word->text;
                action.first = static_cast<int>(i);
                return true;
            }
        }
        if (line.error().empty()) {
            std::string names;
            for (std::size_t i = 0; i < kKeyNameCount; ++i) {
                names += i ? ", " : "";
                names += kKeyNames[i];
            }
            fail(keyword + " takes a key: " + names);
        }
        return false;
    }

    bool parseBandArguments(const ActionWord& candidate, const std::string& keyword,
                            ScenarioLine& line, Action& action) {
        std::optional<std::string> first;
        switch (candidate.argument) {
            case ActionWord::Argument::Text:
                first = text(line, keyword, "a text");
                if (!first) return false;
                action.target = *first;
                break;
            case ActionWord::Argument::Row:
                if (!parseRow(line, keyword, action)) return false;
                break;
            case ActionWord::Argument::ListPlace:
                if (!parseListPlace(line, keyword, action)) return false;
                break;
            case ActionWord::Argument::Control:
            case ActionWord::Argument::Rule:
                if (!parseNamed(candidate.argument, line, keyword, action)) return false;
                break;
            case ActionWord::Argument::Key:
                if (!parseKey(line, keyword, action)) return false;
                break;
            case ActionWord::Argument::RowMenu:
                if (!parseRow(line, keyword, action)) return false;
                first = text(line, keyword, "a row and a menu item");
                if (!first) return false;
                action.value = *first;
                break;
            case ActionWord::Argument::LabelText: {
                first = text(line, keyword, "a label and a text");
                if (!first) return false;
                std::optional<Word> typed = line.next();
                if (!typed || !typed->quoted || !typed->key.empty()) {
                    if (line.error().empty()) fail(keyword + " takes a label and a text in quotes");
                    return false;
                }
                action.target = *first;
                action.value = typed->text;
                break;
            }
            default:
                return false;
        }
        if (!line.atEnd()) {
            fail("unexpected text after " + keyword + "'s arguments");
            return false;
        }
        return true;
    }

    void parseAction(const std::string& keyword, ScenarioLine& line) {
        for (const ActionWord& candidate : kActions) {
            if (keyword != candidate.word) continue;
            Action action{candidate.kind, "", 0, 0, lineNumber_};
            switch (candidate.argument) {
                case ActionWord::Argument::None:
                    if (!line.atEnd()) fail(keyword + " takes nothing after it");
                    break;
                case ActionWord::Argument::Element:
                case ActionWord::Argument::Address: {
                    bool element = candidate.argument == ActionWord::Argument::Element;
                    std::optional<std::string> target =
                        single(line, element ? "an element id" : "an address");
                    if (!target) return;
                    action.target = *target;
                    break;
                }
                case ActionWord::Argument::Milliseconds: {
                    std::optional<std::string> text = single(line, "milliseconds");
                    if (!text) return;
                    std::optional<int> ms = Number(*text);
                    if (!ms) {
                        fail("expected milliseconds, not " + *text);
                        return;
                    }
                    action.first = *ms;
                    break;
                }
                case ActionWord::Argument::Menu:
                    if (!parseMenu(line, action)) return;
                    break;
                case ActionWord::Argument::HeldKey: {
                    std::optional<std::string> key = single(line, "a key");
                    if (!key) return;
                    if (*key != "ctrl") {
                        fail(keyword + " takes the key ctrl, not " + *key);
                        return;
                    }
                    action.target = *key;
                    break;
                }
                case ActionWord::Argument::Text:
                case ActionWord::Argument::Row:
                case ActionWord::Argument::RowMenu:
                case ActionWord::Argument::LabelText:
                case ActionWord::Argument::Control:
                case ActionWord::Argument::Rule:
                case ActionWord::Argument::Key:
                case ActionWord::Argument::ListPlace:
                    if (!parseBandArguments(candidate, keyword, line, action)) return;
                    break;
                case ActionWord::Argument::Size: {
                    std::optional<std::pair<int, int>> wh = size(line);
                    if (!wh) return;
                    action.first = wh->first;
                    action.second = wh->second;
                    break;
                }
            }
            result_.scenario.actions.push_back(std::move(action));
            return;
        }
        fail("unknown keyword " + keyword);
    }

    // A script or text the line ends with, as one quoted word.
    std::optional<std::string> quotedLast(ScenarioLine& line, const char* what) {
        std::optional<Word> word = line.next();
        if (!word || !word->quoted || !word->key.empty()) {
            if (line.error().empty()) fail(std::string("expected ") + what + " in double quotes");
            return std::nullopt;
        }
        if (!line.atEnd()) {
            fail(std::string("unexpected text after ") + what);
            return std::nullopt;
        }
        return word->text;
    }

    void parsePageLine(const std::string& keyword, ScenarioLine& line) {
        PageSpec& page = *page_;
        if (keyword == "end") {
            if (!line.atEnd()) fail("end takes nothing after it");
            page_ = nullptr;
        } else if (keyword == "title") {
            if (std::optional<std::string> title = quotedLast(line, "the title"))
                page.title = *title;
        } else if (keyword == "type") {
            if (std::optional<std::string> type = quotedLast(line, "the type")) page.type = *type;
        } else if (keyword == "load") {
            std::optional<std::string> text = single(line, "milliseconds");
            std::optional<int> ms = text ? Number(*text) : std::nullopt;
            if (text && !ms) fail("expected milliseconds, not " + *text);
            if (ms) page.loadMs = *ms;
        } else if (keyword == "ready") {
            std::optional<std::string> text = single(line, "milliseconds or never");
            if (!text) return;
            if (*text == "never") {
                page.neverReady = true;
            } else if (std::optional<int> ms = Number(*text)) {
                page.readyMs = *ms;
            } else {
                fail("expected milliseconds or never, not " + *text);
            }
        } else if (keyword == "element") {
            parseElement(line);
        } else if (keyword == "frame") {
            parseFrame(line);
        } else if (keyword == "script") {
            parseScriptBlock(line);
        } else if (keyword == "onunload" || keyword == "onbeforeunload") {
            parseHandler(keyword, line);
        } else if (keyword == "onload") {
            if (std::optional<std::string> script = quotedLast(line, "the script")) {
                page.onload.push_back(*script);
            }
        } else if (keyword == "timer") {
            std::optional<Word> delay = line.next();
            std::optional<int> ms =
                delay && delay->key.empty() && !delay->quoted ? Number(delay->text) : std::nullopt;
            if (!ms) {
                fail("timer needs milliseconds and a script");
                return;
            }
            if (std::optional<std::string> script = quotedLast(line, "the script")) {
                page.timers.push_back({*ms, *script});
            }
        } else if (keyword == "function") {
            std::optional<Word> name = line.next();
            if (!name || name->quoted || !name->key.empty()) {
                fail("function needs a name and a script");
                return;
            }
            if (std::optional<std::string> script = quotedLast(line, "the script")) {
                page.functions.push_back({name->text, *script});
            }
        } else if (keyword == "size") {
            if (std::optional<std::pair<int, int>> wh = size(line)) {
                page.requests.push_back({WindowRequest::Kind::Width, wh->first});
                page.requests.push_back({WindowRequest::Kind::Height, wh->second});
            }
        } else if (keyword == "position") {
            std::optional<std::string> text = single(line, "a position such as 10,20");
            if (!text) return;
            if (std::optional<std::pair<int, int>> lt = Pair(*text, ',', true)) {
                page.requests.push_back({WindowRequest::Kind::Left, lt->first});
                page.requests.push_back({WindowRequest::Kind::Top, lt->second});
            } else {
                fail("expected a position such as 10,20, not " + *text);
            }
        } else if (keyword == "bars") {
            parseBars(line);
        } else {
            fail("unknown keyword " + keyword + " in a page");
        }
    }

    void parseElement(ScenarioLine& line) {
        std::optional<Word> tag = line.next();
        if (!tag || tag->quoted || !tag->key.empty()) {
            fail("element needs a tag name");
            return;
        }
        ElementSpec element;
        element.tag = Upper(tag->text);
        while (std::optional<Word> option = line.next()) {
            if (option->key == "id") {
                element.id = option->text;
            } else if (option->key == "parent") {
                element.parent = option->text;
            } else if (option->key == "href") {
                element.href = option->text;
            } else if (option->key == "target") {
                element.target = option->text;
            } else if (option->key == "onclick") {
                element.onclick = option->text;
            } else {
                fail("unknown element option " +
                     (option->key.empty() ? option->text : option->key));
                return;
            }
        }
        PageSpec& page = *page_;
        if (!element.id.empty() && page.findElement(element.id)) {
            fail("the element id " + element.id + " is used twice");
            return;
        }
        if (!element.parent.empty() && !page.findElement(element.parent)) {
            fail("the parent " + element.parent + " is not declared before it");
            return;
        }
        page.elements.push_back(std::move(element));
    }

    void parseFrame(ScenarioLine& line) {
        std::optional<Word> url = line.next();
        if (!url || !url->key.empty()) {
            fail("frame needs an address");
            return;
        }
        FrameSpec frame{url->text, ""};
        while (std::optional<Word> option = line.next()) {
            if (option->key != "name") {
                fail("unknown frame option " + (option->key.empty() ? option->text : option->key));
                return;
            }
            frame.name = option->text;
        }
        page_->frames.push_back(std::move(frame));
    }

    void parseScriptBlock(ScenarioLine& line) {
        ScriptBlockSpec block;
        while (std::optional<Word> word = line.next()) {
            if (word->key == "event") {
                block.event = word->text;
            } else if (word->key == "for") {
                block.forWhom = word->text;
            } else if (word->quoted && word->key.empty() && line.atEnd()) {
                block.text = word->text;
                page_->scripts.push_back(std::move(block));
                return;
            } else {
                break;
            }
        }
        if (line.error().empty()) fail("script takes event=, for= and then the script in quotes");
    }

    void parseHandler(const std::string& event, ScenarioLine& line) {
        std::optional<Word> owner = line.next();
        HandlerSpec handler{HandlerOwner::Body, event, ""};
        if (owner && owner->key.empty() && owner->text == "body") {
            handler.owner = HandlerOwner::Body;
        } else if (owner && owner->key.empty() && owner->text == "window") {
            handler.owner = HandlerOwner::Window;
        } else if (owner && owner->key.empty() && owner->text == "frameset") {
            handler.owner = HandlerOwner::FrameSet;
        } else {
            fail(event + " needs body, window or frameset and a script");
            return;
        }
        if (std::optional<std::string> script = quotedLast(line, "the script")) {
            handler.script = *script;
            page_->handlers.push_back(std::move(handler));
        }
    }

    void parseBars(ScenarioLine& line) {
        bool any = false;
        while (std::optional<Word> word = line.next()) {
            std::optional<WindowRequest::Kind> bar = BarNamed(word->key);
            if (!bar || (word->text != "yes" && word->text != "no")) {
                fail(
                    "bars takes name=yes or name=no for toolbar, menubar, location, status, "
                    "fullscreen, resizable");
                return;
            }
            page_->requests.push_back({*bar, word->text == "yes" ? 1 : 0});
            any = true;
        }
        if (!any && line.error().empty()) fail("bars needs at least one bar");
    }

    ParsedScenario result_;
    PageSpec* page_ = nullptr;
    int pageLine_ = 0;
    bool blockBroken_ = false;
    int lineNumber_ = 0;
};

}  // namespace

ParsedScenario ParseScenario(std::string_view text) {
    return Parser().run(text);
}

}  // namespace qm::lab
