// quellmark-lab.exe: plays a scenario file against a band in a stand-in
// browser, prints the trace and checks the scenario's expectations.

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/platform.h"
#include "lab/decision_summary.h"
#include "lab/expectation.h"
#include "lab/scenario_parser.h"
#include "lab/win32/scenario_runner.h"
#include "lab/trace.h"

namespace {

const char kHelp[] =
    R"help(usage: quellmark-lab [--band NAME] [--times] [--trace FILE] [--summary]
                     [--keep-open] SCENARIO
       quellmark-lab --check SCENARIO...
       quellmark-lab --help

Plays SCENARIO in a stand-in browser window with the band NAME (a ProgID or
{CLSID}; default: the scenario's "band" line, else quellmark.pop; "none" for
no band), prints the trace on standard output and checks the scenario's
expect lines. Exit status: 0 every expectation met, 1 an expectation failed
or an action could not be done, 2 bad usage or a bad scenario file, 3 the
COM runtime could not start.

  --times       put the milliseconds since the start before each trace line
  --trace FILE  also write the trace (without times) to FILE
  --summary     after the trace, say what the band did with each new window
                and why, from its decision lines (80 columns)
  --check       only read the scenario files and report their errors (exit 2)
  --keep-open   after the timeline, go on until the browser window is closed;
                meanwhile a person can click, right-click and hover the
                elements listed in the page area

SCENARIO FILES
One statement a line; blank lines and lines starting with # are skipped.
Texts with blanks go in double quotes (\" and \\ inside); options are
key=value or key="value".

Settings:
  band NAME | none            the band to create (ProgID or {CLSID})
  browser WIDTHxHEIGHT        the browser window's size (800x600)
  bar open | closed           whether the bar is open at the start (open)
  setting NAME VALUE          a value of the band's settings key (GuardLevel, LoadBare,
                              CompleteBlock, ClearOnUnload, ...), written before the
                              band is created; the key is put back after the run

Pages (popup is the same as page):
  page URL ... end
    title "TEXT"              the page's title (none: untitled)
    type "TEXT"               what the browser's Type says ("HTML Document")
    load MS                   download time: the old page stays until then (300)
    ready MS | never          time from arrival to complete (0); never: stays loading
    element TAG [id=ID] [parent=ID] [href=URL] [target=NAME] [onclick="SCRIPT"]
    frame URL [name=NAME]     a frame; the page becomes a frameset
    script [event=EVENT] [for=WHOM] "SCRIPT"   a script block (no event: runs while loading)
    onunload body|window|frameset "SCRIPT"     an unload handler
    onbeforeunload body|window|frameset "SCRIPT"
    onload "SCRIPT"           runs when the window has loaded
    timer MS "SCRIPT"         runs MS after the load
    function NAME "SCRIPT"    callable as NAME() from scripts
    size WIDTHxHEIGHT         the window size the page asks for
    position LEFT,TOP         the window position the page asks for
    bars toolbar=no menubar=no location=no status=yes fullscreen=no resizable=yes

Scripts: window.open('url','name','features'); document.title='text';
  document.body.onunload="" (also onbeforeunload, window.onunload, ...);
  setTimeout('script', MS); location.href='url'; NAME(). Separate with ;.

Timeline (in order, in real time):
  navigate URL | leave-page | wait MS | resize WIDTHxHEIGHT
  press ID | release ID | click ID | right-click ID | open-in-new-window ID
  hover ID | leave ID | open-bar | close-bar | hide-bar | show-bar (ShowDW only)
  hold-key ctrl | release-key ctrl   Ctrl down / up, as GetKeyState reads it
  bar-menu [X,Y] ["ITEM"]     right-click the band at X,Y of its window; choose ITEM
  band-tab "TEXT" | band-click "TEXT" | band-level "TEXT"   the band's tabs, buttons,
                              check boxes and level list, by the text they show; a
                              picture button by its hint ("Exit Quellmark.")
  band-click "TEXT" in="GROUP"   the control in the group box GROUP ("Black List")
  band-click bar-button       the button the band put over the bar's toolbar
  band-hover "TEXT" [in="GROUP"] | band-hover bar-button   the pointer goes over it
  band-open-row ROW | band-row-menu ROW "ITEM"   double-click / right-click a row of
                              "Popup Windows": ROW is a number from 1 (top) or "ADDRESS"
  band-open-row below         double-click the list's empty space below its rows
  band-open-rule "NAME" [in="GROUP"]     double-click a rule of "Tools" (opens its editor)
  band-select-rule "NAME" [in="GROUP"]   click a rule of "Tools" once (selects it)
  band-select-rule below [in="GROUP"]    click a rule list below its rules
  band-key KEY                press KEY where the band's focus is: up, down, left,
                              right, home, end, page-up, page-down, space
  dialog-fill "LABEL" "TEXT"  type TEXT over the box after LABEL (focus, select, type)
  dialog-tick "TEXT" | dialog-untick "TEXT"
  dialog-click-row ROW | dialog-click-row below   click a row (number or "TEXT") of the
                              dialog's list, or below its rows
  dialog-wait MS              the dialog stays open MS milliseconds
  dialog-press "TEXT"         the answer to the next dialog the band opens (ends it)

Expectations (checked against the trace at the end; * matches anything):
  expect PATTERN              a line matches, after the previous expect's line
  expect anywhere PATTERN     a line matches, anywhere
  expect no PATTERN           no line matches
  expect count N PATTERN      exactly N lines match

TRACE (one line per event)
  setting NAME=VALUE                         a scenario setting was written
  setting-written NAME=VALUE                 the band changed a value of its settings key
  user ACTION [TARGET]                       a timeline action begins
  navigate BROWSER "URL"                     BeforeNavigate2 raised
  navigation cancelled BROWSER "URL"
  page left|shown|loaded BROWSER "URL"       unload / NavigateComplete2 / DocumentComplete
  title BROWSER "TEXT"                       TitleChange raised
  requests BROWSER left=.. width=.. toolbar=0 ...   window requests raised
  new-window announced "URL" name="N" features="F" by=script|user|caller from=BROWSER
  new-window passed-through|allowed|cancelled "URL"
  new-window captured "URL" into=BROWSER
  window opened BROWSER name="N" features="F" "URL"
  window reused BROWSER name="N" "URL"
  script ORIGIN "CODE"   script refused ORIGIN "CODE"   script not-understood "CODE"
  capture created BROWSER level=1|2   capture shown BROWSER   quit BROWSER
  download-control BROWSER 0xFLAGS
  band created|not-created NAME [hr=..]   band set-site hr=..   band released refs=N
  bandinfo mask=.. min=X,Y max=X,Y integral=X,Y actual=X,Y title="T" flags=..
  bar shown height=N   bar resized height=N   bar hidden   bar show-window true|false hr=..
  status "TEXT"   flash   record "TITLE" "URL"   records cleared   (the band's window)
  caption hidden|shown [by=layout] after=MS  each hide and show of the caption: a blink,
                                             or its layout; MS since the previous one
  hint shown "TEXT"   hint gone "TEXT" after=MS   a picture button's hint in the caption
  shell VERB "TARGET" [parameters="P"]       the band asked the shell (nothing opened)
  row "COLUMN" ...                           every column of a new row, after its record
  band double-clicked below-rows             band-open-row below
  band-page "TEXT" [x]"CHECK" [ ]"CHECK" edit="T" combo="T" button="T" [gray]..
            list=[ICON:"ROW" [sel]ICON:"ROW" ...]   a list's rows, picture, selection
                                             the band's pages shown, after a band action
  dialog shown "CAPTION" CONTROLS...   dialog filled "LABEL" "TEXT"
  dialog ticked|unticked|pressed|missing "TEXT"   dialog unanswered "CAPTION"
  dialog row "COLUMN" ...                    a row of a list in the dialog just shown
  dialog clicked row N "TEXT" | dialog clicked below-rows   dialog waited MS
  dialog now "CAPTION" CONTROLS...           the dialog after a click or a wait
  bar-menu items "ITEM" [x]"CHECKED" [gray]"DISABLED" - ...
  bar-menu chose "ITEM" hr=..   bar-menu missing "ITEM"   bar-menu failed hr=..
  browser size WIDTHxHEIGHT by=user|caller
  decision N new-window OUTCOME because=WHY level=L click=.. plug-in=.. block-all=.. [white="R"]
  decision N navigation held|loads "URL" because=WHY level=L [white="R"] [black="R"]
  decision N capture stopped|shown|reopened|dropped "URL" because=WHY level=L
             page=complete|time-limit counted=yes|no [white="R"] [black="R"]
                                             the band's own decisions, numbered by the band
BROWSER is main, frameN, captureN or windowN. See lab/README.md for more.
)help";

struct Options {
    std::string scenario;
    std::string band;
    std::string traceFile;
    bool times = false;
    bool summary = false;
    bool keepOpen = false;
};

bool ReadArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if ((argument == "--band" || argument == "--trace") && i + 1 < argc) {
            (argument == "--band" ? options.band : options.traceFile) = argv[++i];
        } else if (argument == "--times") {
            options.times = true;
        } else if (argument == "--summary") {
            options.summary = true;
        } else if (argument == "--keep-open") {
            options.keepOpen = true;
        } else if (!argument.empty() && argument[0] != '-' && options.scenario.empty()) {
            options.scenario = argument;
        } else {
            return false;
        }
    }
    return !options.scenario.empty();
}

const char kUsage[] =
    "usage: quellmark-lab [--band NAME] [--times] [--trace FILE] [--summary] [--keep-open] "
    "SCENARIO\n"
    "       quellmark-lab --check SCENARIO...\n";

// The scenario file read and parsed; nothing when it cannot be read or has
// errors, each reported on standard error.
std::optional<qm::lab::ParsedScenario> ReadScenario(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quellmark-lab: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    std::stringstream text;
    text << file.rdbuf();
    qm::lab::ParsedScenario parsed = qm::lab::ParseScenario(text.str());
    for (const qm::lab::ScenarioError& error : parsed.errors) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
    }
    if (!parsed.ok()) return std::nullopt;
    return parsed;
}

class ComRuntime {
public:
    ComRuntime() : hr_(OleInitialize(nullptr)) {}
    ~ComRuntime() {
        if (SUCCEEDED(hr_)) OleUninitialize();
    }
    ComRuntime(const ComRuntime&) = delete;
    ComRuntime& operator=(const ComRuntime&) = delete;
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

}  // namespace

int main(int argc, char** argv) {
    qm::usePlatformSeams();
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--check") == 0) {
        int status = 0;
        for (int i = 2; i < argc; ++i) {
            if (!ReadScenario(argv[i])) status = 2;
        }
        return status;
    }
    Options options;
    if (!ReadArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::optional<qm::lab::ParsedScenario> read = ReadScenario(options.scenario);
    if (!read) return 2;
    qm::lab::ParsedScenario& parsed = *read;
    if (!options.band.empty()) parsed.scenario.band = options.band;

    ComRuntime com;
    if (!com.ok()) {
        std::fputs("quellmark-lab: the COM runtime did not start\n", stderr);
        return 3;
    }
    std::ofstream traceFile;
    if (!options.traceFile.empty()) traceFile.open(options.traceFile, std::ios::binary);
    DWORD start = GetTickCount();
    qm::lab::Trace trace;
    trace.setListener([&](const std::string& line) {
        if (options.times) std::printf("%7lu ", static_cast<unsigned long>(GetTickCount() - start));
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (traceFile) traceFile << line << "\n";
    });

    std::vector<std::string> problems;
    qm::lab::RunScenario(parsed.scenario, trace, problems, options.keepOpen);

    if (options.summary) {
        std::puts("");
        for (const std::string& line : qm::lab::SummarizeDecisions(trace.lines())) {
            std::puts(line.c_str());
        }
        std::fflush(stdout);
    }

    int status = 0;
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "%s: %s\n", options.scenario.c_str(), problem.c_str());
        status = 1;
    }
    std::vector<qm::lab::ExpectationResult> results =
        qm::lab::CheckExpectations(parsed.scenario.expectations, trace.lines());
    int failed = 0;
    for (const qm::lab::ExpectationResult& result : results) {
        if (result.passed) continue;
        ++failed;
        std::fprintf(stderr, "%s:%d: expectation failed: %s (%s)\n", options.scenario.c_str(),
                     result.expectation->line, result.expectation->pattern.c_str(),
                     result.detail.c_str());
    }
    std::fprintf(stderr, "quellmark-lab: %d of %d expectations met\n",
                 static_cast<int>(results.size()) - failed, static_cast<int>(results.size()));
    return failed || status ? 1 : 0;
}
