#include "lab/trace_lines.h"

#include <cstdio>

#include "common/text.h"

namespace qm::lab {

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string Hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

const char* const kTraceWords[] = {
    "setting",
    "user",
    "band",
    "bandinfo",
    "bar",
    "bar-menu",
    "status",
    "flash",
    "record",
    "records",
    "navigate",
    "navigation",
    "page",
    "title",
    "requests",
    "new-window",
    "window",
    "script",
    "capture",
    "download-control",
    "quit",
    "browser",
    "decision",
    "row",
    "band-page",
    "dialog",
    "setting-written",
    "caption",
    "hint",
    "shell",
};
const std::size_t kTraceWordCount = std::size(kTraceWords);

namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string line;
    for (std::string_view part : parts) {
        if (part.empty()) continue;
        if (!line.empty()) line += ' ';
        line += part;
    }
    return line;
}

std::string PointText(const char* name, Point point) {
    return std::string(name) + "=" + std::to_string(point.x) + "," + std::to_string(point.y);
}

const char* RequestName(WindowRequest::Kind kind) {
    switch (kind) {
        case WindowRequest::Kind::Left:
            return "left";
        case WindowRequest::Kind::Top:
            return "top";
        case WindowRequest::Kind::Width:
            return "width";
        case WindowRequest::Kind::Height:
            return "height";
        case WindowRequest::Kind::ToolBar:
            return "toolbar";
        case WindowRequest::Kind::MenuBar:
            return "menubar";
        case WindowRequest::Kind::AddressBar:
            return "location";
        case WindowRequest::Kind::StatusBar:
            return "status";
        case WindowRequest::Kind::FullScreen:
            return "fullscreen";
        case WindowRequest::Kind::Resizable:
            return "resizable";
    }
    return "?";
}

}  // namespace

namespace lines {

std::string Setting(std::string_view name, std::int32_t value) {
    return "setting " + std::string(name) + "=" + std::to_string(value);
}

std::string SettingWritten(std::string_view name, std::int32_t value) {
    return "setting-written " + std::string(name) + "=" + std::to_string(value);
}

std::string BandCreated(std::string_view name) {
    return Join({"band created", name});
}

std::string BandNotCreated(std::string_view name, std::uint32_t hr) {
    return Join({"band not-created", name, "hr=" + Hex32(hr)});
}

std::string BandSetSite(std::uint32_t hr) {
    return "band set-site hr=" + Hex32(hr);
}

std::string BandInfo(const BandInfoAnswer& answer) {
    char mask[12];
    std::snprintf(mask, sizeof mask, "0x%x", static_cast<unsigned>(answer.mask));
    std::string line = std::string("bandinfo mask=") + mask;
    if (answer.mask & kBandMinSize) line += " " + PointText("min", answer.minSize);
    if (answer.mask & kBandMaxSize) line += " " + PointText("max", answer.maxSize);
    if (answer.mask & kBandIntegral) line += " " + PointText("integral", answer.integral);
    if (answer.mask & kBandActual) line += " " + PointText("actual", answer.actual);
    if (answer.mask & kBandTitle) line += " title=" + Quote(answer.title);
    if (answer.mask & kBandModeFlags) {
        char flags[12];
        std::snprintf(flags, sizeof flags, "0x%x", static_cast<unsigned>(answer.modeFlags));
        line += std::string(" flags=") + flags;
    }
    if (answer.mask & kBandBackColor) line += " color=" + Hex32(answer.backColor);
    return line;
}

std::string BandInfoFailed(std::uint32_t hr) {
    return "bandinfo failed hr=" + Hex32(hr);
}

std::string BarShown(int height) {
    return "bar shown height=" + std::to_string(height);
}
std::string BarResized(int height) {
    return "bar resized height=" + std::to_string(height);
}
std::string BarShowWindow(bool show, std::uint32_t hr) {
    return std::string("bar show-window ") + (show ? "true" : "false") + " hr=" + Hex32(hr);
}
std::string BarHidden() {
    return "bar hidden";
}
std::string BandReleased(unsigned long refsLeft) {
    return "band released refs=" + std::to_string(refsLeft);
}

std::string BarMenuItems(const std::vector<MenuEntry>& entries) {
    std::string line = "bar-menu items";
    for (const MenuEntry& entry : entries) {
        line += ' ';
        if (entry.separator) {
            line += '-';
            continue;
        }
        if (entry.checked) line += "[x]";
        if (entry.grayed) line += "[gray]";
        line += Quote(entry.text);
    }
    return line;
}

std::string BarMenuFailed(std::uint32_t hr) {
    return "bar-menu failed hr=" + Hex32(hr);
}

std::string BarMenuChose(std::string_view item, std::uint32_t hr) {
    return "bar-menu chose " + Quote(item) + " hr=" + Hex32(hr);
}

std::string BarMenuMissing(std::string_view item) {
    return "bar-menu missing " + Quote(item);
}

std::string User(std::string_view action, std::string_view target) {
    return Join({"user", action, target});
}

std::string Navigate(std::string_view browser, std::string_view url) {
    return Join({"navigate", browser, Quote(url)});
}
std::string NavigationCancelled(std::string_view browser, std::string_view url) {
    return Join({"navigation cancelled", browser, Quote(url)});
}
std::string PageLeft(std::string_view browser, std::string_view url) {
    return Join({"page left", browser, Quote(url)});
}
std::string PageShown(std::string_view browser, std::string_view url) {
    return Join({"page shown", browser, Quote(url)});
}
std::string PageLoaded(std::string_view browser, std::string_view url) {
    return Join({"page loaded", browser, Quote(url)});
}
std::string Title(std::string_view browser, std::string_view title) {
    return Join({"title", browser, Quote(title)});
}
std::string BrowserSize(int width, int height, std::string_view by) {
    return "browser size " + std::to_string(width) + "x" + std::to_string(height) +
           " by=" + std::string(by);
}

std::string NewWindowAnnounced(std::string_view url, std::string_view name,
                               std::string_view features, std::string_view by,
                               std::string_view from) {
    return Join({"new-window announced", Quote(url), "name=" + Quote(name),
                 "features=" + Quote(features), "by=" + std::string(by),
                 "from=" + std::string(from)});
}

std::string NewWindowResult(NewWindowOutcome outcome, std::string_view url,
                            std::string_view browser) {
    const char* word = "passed-through";
    switch (outcome) {
        case NewWindowOutcome::PassedThrough:
            word = "passed-through";
            break;
        case NewWindowOutcome::Allowed:
            word = "allowed";
            break;
        case NewWindowOutcome::Cancelled:
            word = "cancelled";
            break;
        case NewWindowOutcome::Captured:
            word = "captured";
            break;
    }
    std::string into = browser.empty() ? std::string() : "into=" + std::string(browser);
    return Join({"new-window", word, Quote(url), into});
}

std::string WindowOpened(std::string_view browser, std::string_view name, std::string_view features,
                         std::string_view url) {
    return Join({"window opened", browser, "name=" + Quote(name), "features=" + Quote(features),
                 Quote(url)});
}

std::string WindowReused(std::string_view browser, std::string_view name, std::string_view url) {
    return Join({"window reused", browser, "name=" + Quote(name), Quote(url)});
}

std::string Requests(std::string_view browser, const std::vector<WindowRequest>& requests) {
    std::string line = Join({"requests", browser});
    for (const WindowRequest& request : requests) {
        line += " ";
        line += RequestName(request.kind);
        line += "=" + std::to_string(request.value);
    }
    return line;
}

std::string Script(std::string_view origin, std::string_view code) {
    return Join({"script", origin, Quote(code)});
}
std::string ScriptNotUnderstood(std::string_view statement) {
    return Join({"script not-understood", Quote(statement)});
}
std::string ScriptRefused(std::string_view origin, std::string_view code) {
    return Join({"script refused", origin, Quote(code)});
}

std::string Status(std::string_view text) {
    return "status " + Quote(text);
}
std::string Flash() {
    return "flash";
}
std::string Caption(bool shown, bool byLayout, unsigned long afterMs) {
    return Join({"caption", shown ? "shown" : "hidden", byLayout ? "by=layout" : "",
                 "after=" + std::to_string(afterMs)});
}
std::string HintShown(std::string_view text) {
    return "hint shown " + Quote(text);
}
std::string HintGone(std::string_view text, unsigned long afterMs) {
    return "hint gone " + Quote(text) + " after=" + std::to_string(afterMs);
}
std::string ShellOpen(std::string_view verb, std::string_view target, std::string_view parameters) {
    std::string line = Join({"shell", verb.empty() ? "open" : verb, Quote(target)});
    if (!parameters.empty()) line += " parameters=" + Quote(parameters);
    return line;
}
std::string BandDoubleClickedBelowRows() {
    return "band double-clicked below-rows";
}
std::string Record(std::string_view title, std::string_view url) {
    return "record " + Quote(title) + " " + Quote(url);
}
std::string RecordsCleared() {
    return "records cleared";
}
std::string Row(const std::vector<std::string>& columns) {
    std::string line = "row";
    for (const std::string& column : columns) line += " " + Quote(column);
    return line;
}

namespace {

// list=[ICON:"TEXT" [sel]ICON:"TEXT" ...], the icon "-" when the row has none.
std::string ListText(const std::vector<ListRowEntry>& rows) {
    std::string text = "list=[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i) text += ' ';
        if (rows[i].selected) text += "[sel]";
        text += rows[i].icon < 0 ? std::string("-") : std::to_string(rows[i].icon);
        text += ':' + Quote(rows[i].text);
    }
    return text + ']';
}

std::string Controls(const std::vector<ControlEntry>& controls) {
    std::string text;
    for (const ControlEntry& control : controls) {
        text += control.grayed ? " [gray]" : " ";
        if (control.kind == ControlEntry::Kind::List) {
            text += ListText(control.rows);
            continue;
        }
        switch (control.kind) {
            case ControlEntry::Kind::List:
            case ControlEntry::Kind::Text:
                break;
            case ControlEntry::Kind::Edit:
                text += "edit=";
                break;
            case ControlEntry::Kind::Check:
                text += control.checked ? "[x]" : "[ ]";
                break;
            case ControlEntry::Kind::Button:
                text += "button=";
                break;
            case ControlEntry::Kind::Combo:
                text += "combo=";
                break;
        }
        text += Quote(control.text);
    }
    return text;
}

}  // namespace

std::string BandPage(const std::vector<ControlEntry>& controls) {
    return "band-page" + Controls(controls);
}
std::string DialogShown(std::string_view caption, const std::vector<ControlEntry>& controls) {
    return "dialog shown " + Quote(caption) + Controls(controls);
}
std::string DialogStep(std::string_view done, std::string_view label, std::string_view text) {
    std::string line = Join({"dialog", done, Quote(label)});
    if (done == "filled") line += " " + Quote(text);
    return line;
}
std::string DialogRow(const std::vector<std::string>& columns) {
    return "dialog " + Row(columns);
}
std::string DialogClickedRow(int row, std::string_view text) {
    return "dialog clicked row " + std::to_string(row) + " " + Quote(text);
}
std::string DialogClickedBelowRows() {
    return "dialog clicked below-rows";
}
std::string DialogWaited(int milliseconds) {
    return "dialog waited " + std::to_string(milliseconds);
}
std::string DialogNow(std::string_view caption, const std::vector<ControlEntry>& controls) {
    return "dialog now " + Quote(caption) + Controls(controls);
}
std::string DialogUnanswered(std::string_view caption) {
    return "dialog unanswered " + Quote(caption);
}

std::string CaptureCreated(std::string_view browser, int level) {
    return Join({"capture created", browser, "level=" + std::to_string(level)});
}
std::string CaptureShown(std::string_view browser) {
    return Join({"capture shown", browser});
}
std::string DownloadControl(std::string_view browser, std::uint32_t flags) {
    return Join({"download-control", browser, Hex32(flags)});
}
std::string Quit(std::string_view browser) {
    return Join({"quit", browser});
}

namespace {

const char* YesNo(std::int32_t flag) {
    return flag ? "yes" : "no";
}

const char* OutcomeWord(qm::NewWindowOutcome outcome) {
    switch (outcome) {
        case qm::NewWindowOutcome::PassedThrough:
            return "passed-through";
        case qm::NewWindowOutcome::Allowed:
            return "allowed";
        case qm::NewWindowOutcome::Cancelled:
            return "cancelled";
        case qm::NewWindowOutcome::Captured:
            return "captured";
        case qm::NewWindowOutcome::NotCaptured:
            return "not-captured";
    }
    return "?";
}

const char* BecauseWord(DecisionNote::Because because) {
    using B = DecisionNote::Because;
    switch (because) {
        case B::BarHidden:
            return "bar-hidden";
        case B::NoProtection:
            return "level-0";
        case B::Click:
            return "click";
        case B::Reopening:
            return "reopening";
        case B::PluginHover:
            return "plug-in";
        case B::WhiteRule:
            return "white-rule";
        case B::Key:
            return "key";
        case B::BlockAll:
            return "block-all";
        case B::CaptureLimit:
            return "capture-limit";
        case B::Level:
            return "protection";
        case B::NoCapture:
            return "no-capture";
        case B::Link:
            return "link";
        case B::BlackRule:
            return "black-rule";
        case B::Wanted:
            return "wanted";
    }
    return "?";
}

const char* EndingWord(DecisionNote::Ending ending) {
    using E = DecisionNote::Ending;
    switch (ending) {
        case E::None:
            return "none";
        case E::Stopped:
            return "stopped";
        case E::Shown:
            return "shown";
        case E::Reopened:
            return "reopened";
        case E::Dropped:
            return "dropped";
    }
    return "?";
}

std::string RuleText(const char* list, const std::optional<std::string_view>& rule) {
    return rule ? std::string(list) + "=" + Quote(*rule) : std::string();
}

}  // namespace

std::string Decision(const qm::DecisionNote& note) {
    using Step = DecisionNote::Step;
    std::string head = "decision " + std::to_string(note.window);
    std::string because = std::string("because=") + BecauseWord(note.because);
    std::string level = "level=" + std::to_string(note.level);
    std::string url = Quote(ToAnsi(note.url));
    std::string white = RuleText("white", note.whiteRule);
    std::string black = RuleText("black", note.blackRule);
    switch (note.step) {
        case Step::NewWindow:
            return Join({head, "new-window", OutcomeWord(note.outcome), because, level,
                         std::string("click=") + YesNo(note.clicked),
                         std::string("plug-in=") + YesNo(note.overPlugin),
                         std::string("block-all=") + YesNo(note.blockAll), white});
        case Step::Navigation:
            return Join({head, "navigation", note.held ? "held" : "loads", url, because, level,
                         white, black});
        case Step::Conclusion:
            return Join({head, "capture", EndingWord(note.ending), url, because, level,
                         note.timeLimit ? "page=time-limit" : "page=complete",
                         std::string("counted=") + YesNo(note.counted), white, black});
    }
    return head;
}

}  // namespace lines
}  // namespace qm::lab
