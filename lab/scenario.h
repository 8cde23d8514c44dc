#pragma once
// What a scenario file declares: the pages the lab can show, the browser it
// plays, the user's timeline and the expectations on the trace.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::lab {

// A request the page makes of its window, fired as a browser event.
struct WindowRequest {
    // The four of position and size come first: their values index by kind.
    enum class Kind {
        Left,
        Top,
        Width,
        Height,
        ToolBar,
        MenuBar,
        AddressBar,
        StatusBar,
        FullScreen,
        Resizable
    };
    Kind kind;
    int value;  // pixels, or 1 / 0 for a bar

    bool isBar() const { return kind >= Kind::ToolBar; }
    friend bool operator==(const WindowRequest& a, const WindowRequest& b) {
        return a.kind == b.kind && a.value == b.value;
    }
};

struct ElementSpec {
    std::string tag;  // upper case, as the document reports it
    std::string id;
    std::string parent;  // id of the parent element; empty: the body
    std::string href;
    std::string target;
    std::string onclick;  // script run when the element is clicked
};

// A <script> block. Without an event it runs while the page loads.
struct ScriptBlockSpec {
    std::string event;
    std::string forWhom;
    std::string text;
};

enum class HandlerOwner { Body, Window, FrameSet };

// An unload or before-unload handler property set by the page's markup.
struct HandlerSpec {
    HandlerOwner owner;
    std::string event;  // "onunload" or "onbeforeunload"
    std::string script;
};

struct TimerSpec {
    int delayMs;
    std::string script;
};

struct FunctionSpec {
    std::string name;
    std::string script;
};

struct FrameSpec {
    std::string url;
    std::string name;
};

struct PageSpec {
    std::string url;
    std::optional<std::string> title;
    std::string type = "HTML Document";
    int loadMs = 300;  // from BeforeNavigate2 to NavigateComplete2: the old page is still shown
    int readyMs = 0;   // from NavigateComplete2 to complete
    bool neverReady = false;
    std::vector<ElementSpec> elements;
    std::vector<FrameSpec> frames;
    std::vector<ScriptBlockSpec> scripts;
    std::vector<HandlerSpec> handlers;
    std::vector<std::string> onload;
    std::vector<TimerSpec> timers;
    std::vector<FunctionSpec> functions;
    std::vector<WindowRequest> requests;

    const ElementSpec* findElement(const std::string& id) const;
    const FunctionSpec* findFunction(const std::string& name) const;
};

struct Action {
    enum class Kind {
        Navigate,
        LeavePage,
        Press,
        Release,
        Click,
        RightClick,
        OpenInNewWindow,
        Hover,
        Leave,
        Resize,
        Wait,
        OpenBar,
        CloseBar,
        HideBar,  // ShowDW(FALSE): the band stays sited
        ShowBar,
        BarMenu,
        HoldKey,  // target: the key, "ctrl"
        ReleaseKey,
        // The band's own windows, found by what the user sees of them.
        BandTab,       // target: the tab's text
        BandClick,     // target: a button's or check box's text
        BandLevel,     // target: the level's text in the combo box
        BandOpenRow,   // double-click a row of "Popup Windows"
        BandRowMenu,   // right-click a row, then choose the menu item `value`
        BandOpenRule,  // target: a rule's name in a list of "Tools"
        // Where the user's pointer goes, a single click, a key.
        BandHover,       // the pointer goes over a control, as for BandClick
        BandSelectRule,  // a single click on a rule, as for BandOpenRule
        BandKey,         // target: a key's name, pressed where the keyboard focus is
        // The answer to the next modal dialog, gathered step by step;
        // DialogPress completes it.
        DialogFill,  // target: the label before the edit; value: the text
        DialogTick,
        DialogUntick,
        DialogPress,
        DialogClickRow,  // a click on a row of the dialog's list, or below its rows
        DialogWait,      // first: milliseconds the dialog stays open
    };
    Kind kind;
    std::string target;  // element id, address, menu item, or a text the user sees
    int first = 0;       // milliseconds, width, the pointer's x, or a row (1: the top)
    int second = 0;      // height, or the pointer's y
    int line = 0;
    bool pointGiven = false;  // BarMenu: first and second place the pointer
    std::string value;        // BandRowMenu: the item; DialogFill: the text typed
    std::string group;        // in=: the group box the control or rule list is in
    bool barButton = false;   // BandClick, BandHover: the button over the bar's toolbar
    bool belowRows = false;   // BandOpenRow, DialogClickRow: the empty space below the rows
};

// The keys band-key presses, by the names a scenario gives them; an
// action keeps the key's place in this list.
extern const char* const kKeyNames[];
extern const std::size_t kKeyNameCount;

struct Expectation {
    enum class Kind { InOrder, Anywhere, Absent, Count };
    // Whether it holds in every run, or only in runs that created the band
    // (the trace has a "band created" line), or only in runs without one.
    enum class Condition { Always, WithBand, WithoutBand };
    Kind kind;
    std::string pattern;
    int count = 0;
    int line = 0;
    Condition condition = Condition::Always;
};

// A value of the band's settings key, written before the band is created.
struct SettingSpec {
    std::string name;
    std::int32_t value;
};

struct Scenario {
    std::string band = "quellmark.pop";  // ProgID or {CLSID}; "none" for no band
    bool barOpen = true;
    int browserWidth = 800;
    int browserHeight = 600;
    std::vector<SettingSpec> settings;
    std::vector<PageSpec> pages;
    std::vector<Action> actions;
    std::vector<Expectation> expectations;

    // The declared page for an address, compared exactly.
    const PageSpec* findPage(const std::string& url) const;
};

}  // namespace qm::lab
