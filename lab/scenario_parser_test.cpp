#include "lab/scenario_parser.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

const char kExample[] = R"scenario(# a page with a link, a frame and an unload popup
band {01234567-89AB-CDEF-0123-456789ABCDEF}
setting GuardLevel 1
setting MaxLogSize -3
browser 640x480
bar closed

page http://www.example.com/
  title "Example \"home\""
  load 250
  element a id=link href=http://www.example.com/next.html target=_blank onclick="showAd()"
  element img id=pic parent=link
  frame http://ads.example.org/frame.html name=ad
  script event=onunload for=window "window.open('http://ads.example.org/bye.html')"
  onunload body "window.open('http://ads.example.org/u.html')"
  onbeforeunload frameset "x()"
  onload "window.open('http://ads.example.org/load.html','ad','width=200')"
  timer 1500 "showAd()"
  function showAd "window.open('http://ads.example.org/f.html')"
end

popup http://ads.example.org/pop.html
  ready never
  size 200x300
  position -5,20
  bars toolbar=no status=yes
end

navigate http://www.example.com/
wait 500
click pic
right-click link
open-in-new-window link
resize 640x280
leave-page
close-bar
bar-menu 20,-5 "Clear Log"
bar-menu
expect new-window announced "http://ads.example.org/load.html"*
expect no window opened *
expect anywhere bar hidden
expect count 2 script *
expect with-band no window opened *
expect without-band anywhere window opened *
)scenario";

TEST(ScenarioParser, ReadsEveryPartOfAScenario) {
    ParsedScenario parsed = ParseScenario(kExample);
    for (const ScenarioError& error : parsed.errors) {
        ADD_FAILURE() << "line " << error.line << ": " << error.message;
    }
    const Scenario& s = parsed.scenario;
    EXPECT_EQ(s.band, "{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(s.browserWidth, 640);
    EXPECT_EQ(s.browserHeight, 480);
    EXPECT_FALSE(s.barOpen);
    ASSERT_EQ(s.settings.size(), 2u);
    EXPECT_EQ(s.settings[0].name, "GuardLevel");
    EXPECT_EQ(s.settings[0].value, 1);
    EXPECT_EQ(s.settings[1].value, -3);
    ASSERT_EQ(s.pages.size(), 2u);

    const PageSpec& page = s.pages[0];
    EXPECT_EQ(page.title, "Example \"home\"");
    EXPECT_EQ(page.loadMs, 250);
    ASSERT_EQ(page.elements.size(), 2u);
    EXPECT_EQ(page.elements[0].tag, "A");
    EXPECT_EQ(page.elements[0].href, "http://www.example.com/next.html");
    EXPECT_EQ(page.elements[0].target, "_blank");
    EXPECT_EQ(page.elements[0].onclick, "showAd()");
    EXPECT_EQ(page.elements[1].tag, "IMG");
    EXPECT_EQ(page.elements[1].parent, "link");
    ASSERT_EQ(page.frames.size(), 1u);
    EXPECT_EQ(page.frames[0].name, "ad");
    ASSERT_EQ(page.scripts.size(), 1u);
    EXPECT_EQ(page.scripts[0].event, "onunload");
    EXPECT_EQ(page.scripts[0].forWhom, "window");
    ASSERT_EQ(page.handlers.size(), 2u);
    EXPECT_EQ(page.handlers[0].owner, HandlerOwner::Body);
    EXPECT_EQ(page.handlers[1].owner, HandlerOwner::FrameSet);
    EXPECT_EQ(page.handlers[1].event, "onbeforeunload");
    ASSERT_EQ(page.onload.size(), 1u);
    ASSERT_EQ(page.timers.size(), 1u);
    EXPECT_EQ(page.timers[0].delayMs, 1500);
    ASSERT_NE(page.findFunction("showAd"), nullptr);
    EXPECT_EQ(page.findFunction("hideAd"), nullptr);

    const PageSpec& popup = s.pages[1];
    EXPECT_FALSE(popup.title.has_value());
    EXPECT_TRUE(popup.neverReady);
    using K = WindowRequest::Kind;
    std::vector<WindowRequest> requests = {{K::Width, 200}, {K::Height, 300}, {K::Left, -5},
                                           {K::Top, 20},    {K::ToolBar, 0},  {K::StatusBar, 1}};
    EXPECT_EQ(popup.requests, requests);
    EXPECT_EQ(s.findPage("http://ads.example.org/pop.html"), &popup);
    EXPECT_EQ(s.findPage("http://ads.example.org/POP.html"), nullptr);

    using A = Action::Kind;
    std::vector<A> kinds;
    for (const Action& action : s.actions) kinds.push_back(action.kind);
    EXPECT_EQ(kinds,
              (std::vector<A>{A::Navigate, A::Wait, A::Click, A::RightClick, A::OpenInNewWindow,
                              A::Resize, A::LeavePage, A::CloseBar, A::BarMenu, A::BarMenu}));
    EXPECT_TRUE(s.actions[8].pointGiven);
    EXPECT_EQ(s.actions[8].first, 20);
    EXPECT_EQ(s.actions[8].second, -5);
    EXPECT_EQ(s.actions[8].target, "Clear Log");
    EXPECT_FALSE(s.actions[9].pointGiven);
    EXPECT_EQ(s.actions[9].target, "");
    EXPECT_EQ(s.actions[1].first, 500);
    EXPECT_EQ(s.actions[2].target, "pic");
    EXPECT_EQ(s.actions[5].first, 640);
    EXPECT_EQ(s.actions[5].second, 280);
    EXPECT_EQ(s.actions[5].line, 34);

    ASSERT_EQ(s.expectations.size(), 6u);
    EXPECT_EQ(s.expectations[0].condition, Expectation::Condition::Always);
    EXPECT_EQ(s.expectations[4].condition, Expectation::Condition::WithBand);
    EXPECT_EQ(s.expectations[4].kind, Expectation::Kind::Absent);
    EXPECT_EQ(s.expectations[5].condition, Expectation::Condition::WithoutBand);
    EXPECT_EQ(s.expectations[5].kind, Expectation::Kind::Anywhere);
    EXPECT_EQ(s.expectations[5].pattern, "window opened *");
    EXPECT_EQ(s.expectations[0].kind, Expectation::Kind::InOrder);
    EXPECT_EQ(s.expectations[0].pattern,
              "new-window announced \"http://ads.example.org/load.html\"*");
    EXPECT_EQ(s.expectations[1].kind, Expectation::Kind::Absent);
    EXPECT_EQ(s.expectations[1].pattern, "window opened *");
    EXPECT_EQ(s.expectations[2].kind, Expectation::Kind::Anywhere);
    EXPECT_EQ(s.expectations[3].kind, Expectation::Kind::Count);
    EXPECT_EQ(s.expectations[3].count, 2);
    EXPECT_EQ(s.expectations[3].pattern, "script *");
}

TEST(ScenarioParser, DefaultsWithoutSettings) {
    ParsedScenario parsed = ParseScenario("page http://a.example/\nend\n");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.scenario.band, "quellmark.pop");
    EXPECT_TRUE(parsed.scenario.barOpen);
    EXPECT_EQ(parsed.scenario.browserWidth, 800);
    EXPECT_EQ(parsed.scenario.browserHeight, 600);
    const PageSpec& page = parsed.scenario.pages[0];
    EXPECT_EQ(page.type, "HTML Document");
    EXPECT_EQ(page.loadMs, 300);
    EXPECT_EQ(page.readyMs, 0);
    EXPECT_FALSE(page.neverReady);
}

TEST(ScenarioParser, ReportsEachErrorWithItsLine) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"wait soon", 1, "expected milliseconds, not soon"},
        {"\n\nfly away", 3, "unknown keyword fly"},
        {"browser 800", 1, "expected a size such as 800x600, not 800"},
        {"bar half", 1, "expected open or closed, not half"},
        {"click", 1, "expected an element id"},
        {"click a b", 1, "unexpected text after a"},
        {"close-bar now", 1, "close-bar takes nothing after it"},
        {"expect", 1, "expect needs a pattern"},
        {"expect count x y", 1, "expect count needs a number and a pattern"},
        {"end", 1, "end without a page"},
        {"page http://a/\n  title Home\nend", 2, "expected the title in double quotes"},
        {"page http://a/\n  title \"Home\nend", 2, "a quoted text has no closing quote"},
        {"page http://a/\n  element\nend", 2, "element needs a tag name"},
        {"page http://a/\n  element a colour=red\nend", 2, "unknown element option colour"},
        {"page http://a/\n  element a id=x\n  element b id=x\nend", 3,
         "the element id x is used twice"},
        {"page http://a/\n  element a parent=y\nend", 2, "the parent y is not declared before it"},
        {"page http://a/\n  onunload door \"x()\"\nend", 2,
         "onunload needs body, window or frameset"},
        {"page http://a/\n  timer soon \"x()\"\nend", 2, "timer needs milliseconds and a script"},
        {"page http://a/\n  bars toolbar=maybe\nend", 2, "bars takes name=yes or name=no"},
        {"page http://a/\n  ready later\nend", 2, "expected milliseconds or never, not later"},
        {"page http://a/\n  wait 5\nend", 2,
         "the page http://a/ from line 1 has no end line before this wait line"},
        {"page http://a/\n  title \"x\"", 1, "the page http://a/ has no end line"},
        {"page http://a/\nend\npage http://a/\nend", 3, "the page http://a/ is declared twice"},
        {"\"quoted\"", 1, "a line must begin with a keyword"},
        {"setting GuardLevel", 1, "setting needs a name and a number"},
        {"bar-menu here", 1, "bar-menu takes a point such as 20,30 and an item in quotes"},
        {"bar-menu \"About\" 1,2", 1, "bar-menu takes a point such as 20,30 and an item in quotes"},
        {"setting GuardLevel high", 1, "setting needs a name and a number"},
        {"setting guardlevel 1", 1, "unknown setting guardlevel"},
        {"expect anywere x", 1,
         "expect does not know anywere: it takes with-band or "
         "without-band, then no, anywhere or count N"},
        {"expect with-band nothing here", 1, "expect does not know nothing"},
        {"page http://a/\n  element a colour=red\n  title \"x\"", 1,
         "the page http://a/ has no end line"},
        {"hide-bar now", 1, "hide-bar takes nothing after it"},
        {"hold-key shift", 1, "hold-key takes the key ctrl, not shift"},
        {"release-key", 1, "expected a key"},
        {"hold-key ctrl now", 1, "unexpected text after ctrl"},
        {"band-tab Preferences", 1, "band-tab takes a text in quotes"},
        {"band-click \"\"", 1, "band-click takes a text in quotes"},
        {"band-level \"Medium\" now", 1, "unexpected text after band-level's arguments"},
        {"band-open-row 0", 1, "band-open-row takes a row number from 1 or the row's address"},
        {"band-open-row top", 1, "band-open-row takes a row number from 1"},
        {"band-row-menu 1", 1, "band-row-menu takes a row and a menu item in quotes"},
        {"band-row-menu \"Clear Log\"", 1, "band-row-menu takes a row and a menu item"},
        {"dialog-fill \"Rule Name:\"", 1, "dialog-fill takes a label and a text in quotes"},
        {"dialog-fill \"Rule Name:\" x", 1, "dialog-fill takes a label and a text in quotes"},
        {"dialog-press OK", 1, "dialog-press takes a text in quotes"},
        {"dialog-tick \"On\" \"Off\"", 1, "unexpected text after dialog-tick's arguments"},
        {"band-click bar", 1,
         "band-click takes a text in quotes, then in=\"GROUP\", or bar-button"},
        {"band-click \"Delete\" in=\"\"", 1, "band-click takes a text in quotes"},
        {"band-click \"Delete\" at=\"Black List\"", 1, "unexpected text after band-click's"},
        {"band-hover", 1, "band-hover takes a text in quotes"},
        {"band-select-rule Deals", 1, "band-select-rule takes a rule's name in quotes"},
        {"band-select-rule bar-button", 1, "band-select-rule takes a rule's name in quotes"},
        {"band-click below", 1, "band-click takes a text in quotes, then in="},
        {"band-open-rule \"Deals\" \"x\"", 1, "unexpected text after band-open-rule's"},
        {"band-key", 1, "band-key takes a key: up, down, left, right, home, end, page-up"},
        {"band-key Down", 1, "band-key takes a key: up, down"},
        {"band-key \"down\"", 1, "band-key takes a key"},
        {"band-key down up", 1, "unexpected text after band-key's arguments"},
        {"band-open-row under", 1,
         "band-open-row takes a row number from 1 or the row's address in quotes, or below"},
        {"band-row-menu below \"About\"", 1, "band-row-menu takes a row number from 1"},
        {"dialog-click-row 0", 1, "dialog-click-row takes a row number from 1"},
        {"dialog-click-row below 2", 1, "unexpected text after dialog-click-row's arguments"},
        {"dialog-wait", 1, "expected milliseconds"},
        {"dialog-wait soon", 1, "expected milliseconds, not soon"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedScenario parsed = ParseScenario(c.text);
        ASSERT_FALSE(parsed.errors.empty());
        EXPECT_EQ(parsed.errors[0].line, c.line);
        EXPECT_EQ(parsed.errors[0].message.rfind(c.message, 0), 0u) << parsed.errors[0].message;
    }
}

TEST(ScenarioParser, AMissingEndIsOneErrorNotACascade) {
    struct Case {
        const char* label;
        const char* text;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"before the next page",
         "page http://a/\n  title \"A\"\npage http://b/\n  title \"B\"\nend\nnavigate http://a/\n"
         "wait 100\nclick x\nexpect anywhere *\n",
         {3}},
        {"before the timeline",
         "page http://a/\n  title \"A\"\nnavigate http://a/\nwait 100\nexpect anywhere *\n",
         {3}},
        {"an error before it stays first",
         "fly\npage http://a/\n  title \"A\"\nnavigate http://a/\nfly again\n",
         {1, 4}},
        {"at the end of the file", "page http://a/\n  title \"A\"\n  load soon\n", {1, 3}},
    };
    for (const Case& c : cases) {
        ParsedScenario parsed = ParseScenario(c.text);
        std::vector<int> lines;
        for (const ScenarioError& error : parsed.errors) lines.push_back(error.line);
        EXPECT_EQ(lines, c.lines) << c.label;
    }
}

TEST(ScenarioParser, ReadsTheUsersActionsAtTheBandAndItsDialogs) {
    struct Case {
        const char* text;
        Action::Kind kind;
        std::string target;
        int row;
        std::string value;
    };
    const Case cases[] = {
        {"band-tab \"Preferences\"", Action::Kind::BandTab, "Preferences", 0, ""},
        {"band-click \"Block ALL new windows\"", Action::Kind::BandClick, "Block ALL new windows",
         0, ""},
        {"band-click \"Flash window when a popup\\nis blocked\"", Action::Kind::BandClick,
         "Flash window when a popup\nis blocked", 0, ""},
        {"band-level \"Medium\"", Action::Kind::BandLevel, "Medium", 0, ""},
        {"band-open-row 2", Action::Kind::BandOpenRow, "", 2, ""},
        {"band-open-row \"http://a/x?b=1\"", Action::Kind::BandOpenRow, "http://a/x?b=1", 0, ""},
        {"band-row-menu 1 \"Add Popup to White List\"", Action::Kind::BandRowMenu, "", 1,
         "Add Popup to White List"},
        {"band-open-rule \"Deals\"", Action::Kind::BandOpenRule, "Deals", 0, ""},
        {"band-row-menu \"http://a/\" \"About\"", Action::Kind::BandRowMenu, "http://a/", 0,
         "About"},
        {"dialog-fill \"Rule Name:\" \"ads\"", Action::Kind::DialogFill, "Rule Name:", 0, "ads"},
        {"dialog-fill \"Popup Location:\" \"\"", Action::Kind::DialogFill, "Popup Location:", 0,
         ""},
        {"dialog-tick \"On\"", Action::Kind::DialogTick, "On", 0, ""},
        {"dialog-untick \"that open TO this exact location\"", Action::Kind::DialogUntick,
         "that open TO this exact location", 0, ""},
        {"dialog-press \"OK\"", Action::Kind::DialogPress, "OK", 0, ""},
        {"hide-bar", Action::Kind::HideBar, "", 0, ""},
        {"hold-key ctrl", Action::Kind::HoldKey, "ctrl", 0, ""},
        {"release-key ctrl", Action::Kind::ReleaseKey, "ctrl", 0, ""},
        {"show-bar", Action::Kind::ShowBar, "", 0, ""},
        {"dialog-press \"a\\r\\nb\"", Action::Kind::DialogPress, "a\r\nb", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedScenario parsed = ParseScenario(c.text);
        ASSERT_TRUE(parsed.ok()) << parsed.errors[0].message;
        ASSERT_EQ(parsed.scenario.actions.size(), 1u);
        const Action& action = parsed.scenario.actions[0];
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.target, c.target);
        EXPECT_EQ(action.first, c.row);
        EXPECT_EQ(action.value, c.value);
        EXPECT_EQ(action.line, 1);
    }
}

// Controls named by what the user sees or points at: a text and its group,
// the bar's button, a rule, a key, a row or the space below the rows.
TEST(ScenarioParser, ReadsWhereTheUserPointsAndTypes) {
    struct Case {
        const char* text;
        Action::Kind kind;
        std::string target;
        std::string group;
        bool barButton;
        bool belowRows;
        int first;
    };
    using K = Action::Kind;
    const Case cases[] = {
        {"band-click \"Add New\" in=\"Black List\"", K::BandClick, "Add New", "Black List", false,
         false, 0},
        {"band-click \"Exit Quellmark.\"", K::BandClick, "Exit Quellmark.", "", false, false, 0},
        {"band-click bar-button", K::BandClick, "", "", true, false, 0},
        {"band-hover bar-button", K::BandHover, "", "", true, false, 0},
        {"band-hover \"Tools\"", K::BandHover, "Tools", "", false, false, 0},
        {"band-click \"bar-button\"", K::BandClick, "bar-button", "", false, false, 0},
        {"band-select-rule \"Deals\"", K::BandSelectRule, "Deals", "", false, false, 0},
        {"band-select-rule \"Deals\" in=\"White List\"", K::BandSelectRule, "Deals", "White List",
         false, false, 0},
        {"band-open-rule \"Deals\" in=Black", K::BandOpenRule, "Deals", "Black", false, false, 0},
        {"band-select-rule below in=\"Black List\"", K::BandSelectRule, "", "Black List", false,
         true, 0},
        {"band-select-rule below", K::BandSelectRule, "", "", false, true, 0},
        {"band-key up", K::BandKey, "up", "", false, false, 0},
        {"band-key page-down", K::BandKey, "page-down", "", false, false, 7},
        {"band-key space", K::BandKey, "space", "", false, false, 8},
        {"band-open-row below", K::BandOpenRow, "", "", false, true, 0},
        {"band-open-row 3", K::BandOpenRow, "", "", false, false, 3},
        {"dialog-click-row below", K::DialogClickRow, "", "", false, true, 0},
        {"dialog-click-row 2", K::DialogClickRow, "", "", false, false, 2},
        {"dialog-click-row \"http://a/\"", K::DialogClickRow, "http://a/", "", false, false, 0},
        {"dialog-click-row \"below\"", K::DialogClickRow, "below", "", false, false, 0},
        {"dialog-wait 2500", K::DialogWait, "", "", false, false, 2500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParsedScenario parsed = ParseScenario(c.text);
        ASSERT_TRUE(parsed.ok()) << parsed.errors[0].message;
        ASSERT_EQ(parsed.scenario.actions.size(), 1u);
        const Action& action = parsed.scenario.actions[0];
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.target, c.target);
        EXPECT_EQ(action.group, c.group);
        EXPECT_EQ(action.barButton, c.barButton);
        EXPECT_EQ(action.belowRows, c.belowRows);
        EXPECT_EQ(action.first, c.first);
    }
}

TEST(ScenarioParser, ExpectationsBeginWithATraceWordOrAWildcard) {
    for (const char* pattern :
         {"decision * capture stopped *", "*", "new-window*", "flash", "no new-window *",
          "count 2 record *", "with-band anywhere quit *", "row \"A\" *", "band-page *",
          "dialog pressed \"OK\"", "caption hidden after=*", "hint shown *", "shell open *"}) {
        ParsedScenario parsed = ParseScenario(std::string("expect ") + pattern);
        EXPECT_TRUE(parsed.ok()) << pattern << ": " << parsed.errors[0].message;
    }
}

TEST(ScenarioParser, KeepsAddressesWithEqualSignsAndHashesWhole) {
    ParsedScenario parsed = ParseScenario(
        "navigate http://a.example/x?id=5#top\n"
        "  # an indented comment\n"
        "page http://a.example/x?id=5#top\n"
        "  frame http://b.example/?a=b name=\"my frame\"\n"
        "end\n");
    ASSERT_TRUE(parsed.ok()) << parsed.errors[0].message;
    EXPECT_EQ(parsed.scenario.actions[0].target, "http://a.example/x?id=5#top");
    EXPECT_EQ(parsed.scenario.pages[0].url, "http://a.example/x?id=5#top");
    EXPECT_EQ(parsed.scenario.pages[0].frames[0].url, "http://b.example/?a=b");
    EXPECT_EQ(parsed.scenario.pages[0].frames[0].name, "my frame");
}

}  // namespace
}  // namespace qm::lab
