#include "lab/win32/scenario_runner.h"

#include "lab/win32/band_settings.h"
#include "lab/win32/capture_classes.h"
#include "lab/win32/dialog_answerer.h"
#include "lab/win32/lab.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_element.h"
#include "lab/win32/lab_frame.h"
#include "lab/win32/scheduler.h"
#include "lab/win32/settings_watch.h"
#include "lab/trace_lines.h"
#include "lab/win32/user_actions.h"

namespace qm::lab {
namespace {

using Kind = Action::Kind;

const char* ActionWord(Kind kind) {
    switch (kind) {
        case Kind::Navigate:
            return "navigate";
        case Kind::LeavePage:
            return "leave-page";
        case Kind::Press:
            return "press";
        case Kind::Release:
            return "release";
        case Kind::Click:
            return "click";
        case Kind::RightClick:
            return "right-click";
        case Kind::OpenInNewWindow:
            return "open-in-new-window";
        case Kind::Hover:
            return "hover";
        case Kind::Leave:
            return "leave";
        case Kind::Resize:
            return "resize";
        case Kind::Wait:
            return "wait";
        case Kind::OpenBar:
            return "open-bar";
        case Kind::CloseBar:
            return "close-bar";
        case Kind::HideBar:
            return "hide-bar";
        case Kind::ShowBar:
            return "show-bar";
        case Kind::BarMenu:
            return "bar-menu";
        case Kind::HoldKey:
            return "hold-key";
        case Kind::ReleaseKey:
            return "release-key";
        case Kind::BandTab:
            return "band-tab";
        case Kind::BandClick:
            return "band-click";
        case Kind::BandLevel:
            return "band-level";
        case Kind::BandOpenRow:
            return "band-open-row";
        case Kind::BandRowMenu:
            return "band-row-menu";
        case Kind::BandOpenRule:
            return "band-open-rule";
        case Kind::BandHover:
            return "band-hover";
        case Kind::BandSelectRule:
            return "band-select-rule";
        case Kind::BandKey:
            return "band-key";
        case Kind::DialogClickRow:
            return "dialog-click-row";
        case Kind::DialogWait:
            return "dialog-wait";
        case Kind::DialogFill:
            return "dialog-fill";
        case Kind::DialogTick:
            return "dialog-tick";
        case Kind::DialogUntick:
            return "dialog-untick";
        case Kind::DialogPress:
            return "dialog-press";
    }
    return "?";
}

std::string ActionTarget(const Action& action) {
    switch (action.kind) {
        case Kind::Navigate:
            return Quote(action.target);
        case Kind::Resize:
            return std::to_string(action.first) + "x" + std::to_string(action.second);
        case Kind::Wait:
            return std::to_string(action.first);
        case Kind::BarMenu: {
            std::string point = action.pointGiven ? std::to_string(action.first) + "," +
                                                        std::to_string(action.second)
                                                  : std::string();
            std::string item = action.target.empty() ? std::string() : Quote(action.target);
            return point.empty() || item.empty() ? point + item : point + " " + item;
        }
        case Kind::BandClick:
        case Kind::BandHover:
        case Kind::BandOpenRule:
        case Kind::BandSelectRule: {
            if (action.barButton) return "bar-button";
            std::string place = action.belowRows ? std::string("below") : Quote(action.target);
            std::string group = action.group.empty() ? std::string() : " in=" + Quote(action.group);
            return place + group;
        }
        case Kind::DialogWait:
            return std::to_string(action.first);
        case Kind::BandTab:
        case Kind::BandLevel:
        case Kind::DialogTick:
        case Kind::DialogUntick:
        case Kind::DialogPress:
            return Quote(action.target);
        case Kind::DialogFill:
            return Quote(action.target) + " " + Quote(action.value);
        case Kind::BandOpenRow:
        case Kind::BandRowMenu:
        case Kind::DialogClickRow: {
            if (action.belowRows) return "below";
            std::string row =
                action.first > 0 ? std::to_string(action.first) : Quote(action.target);
            return action.kind == Kind::BandRowMenu ? row + " " + Quote(action.value) : row;
        }
        default:
            return action.target;
    }
}

// A control as a scenario names it, for the problems.
std::string ControlName(const Action& action) {
    if (action.barButton) return "bar button";
    std::string name = "button " + Quote(action.target);
    return action.group.empty() ? name : name + " in " + Quote(action.group);
}

bool IsBandAction(Kind kind) {
    return kind == Kind::BandTab || kind == Kind::BandClick || kind == Kind::BandLevel ||
           kind == Kind::BandOpenRow || kind == Kind::BandRowMenu || kind == Kind::BandOpenRule ||
           kind == Kind::BandHover || kind == Kind::BandSelectRule || kind == Kind::BandKey;
}

bool IsDialogStep(Kind kind) {
    return kind == Kind::DialogFill || kind == Kind::DialogTick || kind == Kind::DialogUntick ||
           kind == Kind::DialogPress || kind == Kind::DialogClickRow || kind == Kind::DialogWait;
}

class Runner {
public:
    Runner(const Scenario& scenario, Trace& trace, std::vector<std::string>& problems,
           bool keepOpen)
        : scenario_(scenario),
          problems_(problems),
          keepOpen_(keepOpen),
          lab_(scenario, trace),
          captures_(lab_),
          dialogs_(lab_.trace(), lab_.scheduler(), problems) {}

    void run() {
        ScopedBandSettings settings(scenario_.settings, lab_.trace());
        SettingsWatch written(lab_.trace(), lab_.scheduler());
        written_ = &written;
        win32::ComPtr<LabBrowser> main = LabBrowser::Create(lab_, BrowserRole::Main, "main");
        if (!main) {
            problems_.push_back("the browser could not be made");
            return;
        }
        LabFrame::Options options;
        options.width = scenario_.browserWidth;
        options.height = scenario_.browserHeight;
        if (scenario_.band != "none") options.band = scenario_.band;
        {
            LabFrame frame(lab_, main, options);
            frame.show();
            if (scenario_.barOpen) frame.openBar();
            PumpMessages(0);
            written.look();
            for (const Action& action : scenario_.actions) {
                if (!frame.isOpen()) {
                    problem(action, "the browser window was closed");
                    break;
                }
                lab_.trace().add(lines::User(ActionWord(action.kind), ActionTarget(action)));
                perform(frame, *main.get(), action);
                PumpMessages(0);
                written.look();
            }
            if (keepOpen_) PumpMessages(INFINITE, [&frame] { return !frame.isOpen(); });
            frame.closeBar();
            PumpMessages(0);
            written.look();
        }
        dialogs_.finish();
        lab_.closeOwnWindows();
        main->shutdown();
    }

private:
    void problem(const Action& action, const std::string& text) {
        problems_.push_back("line " + std::to_string(action.line) + ": " + text);
    }

    void perform(LabFrame& frame, LabBrowser& main, const Action& action) {
        switch (action.kind) {
            case Kind::Navigate:
                main.navigate(action.target);
                return;
            case Kind::LeavePage:
                main.navigate("about:blank");
                return;
            case Kind::Resize:
                frame.resize(action.first, action.second);
                return;
            case Kind::Wait:
                // Closing the browser window ends the wait; the next action reports it.
                PumpMessages(static_cast<unsigned>(action.first),
                             [&frame] { return !frame.isOpen(); });
                return;
            case Kind::OpenBar:
                if (!frame.band()) problem(action, "the scenario has no band");
                frame.openBar();
                return;
            case Kind::CloseBar:
                frame.closeBar();
                return;
            case Kind::HideBar:
            case Kind::ShowBar:
                if (!frame.showBand(action.kind == Kind::ShowBar)) {
                    problem(action, "the bar is not open");
                }
                return;
            case Kind::HoldKey:
            case Kind::ReleaseKey:
                if (!HoldCtrl(action.kind == Kind::HoldKey)) {
                    problem(action, "the key state could not be set");
                }
                return;
            case Kind::BarMenu: {
                POINT point = {action.first, action.second};
                if (!frame.barMenu(action.target, action.pointGiven ? &point : nullptr)) {
                    problem(action, "the band's context menu could not be used");
                }
                return;
            }
            default:
                break;
        }
        if (IsDialogStep(action.kind)) {
            dialogs_.prepare(action);
            return;
        }
        if (IsBandAction(action.kind)) {
            performAtBand(frame, action);
            return;
        }
        LabElement* element = FindElement(main, action.target);
        if (!element) {
            problem(action, "no element " + action.target + " on the page shown");
            return;
        }
        win32::ComPtr<LabElement> keepAlive(element);
        switch (action.kind) {
            case Kind::Press:
                Press(*element);
                break;
            case Kind::Release:
                Release(*element);
                break;
            case Kind::Click:
                Click(*element);
                break;
            case Kind::RightClick:
                RightClick(*element);
                break;
            case Kind::OpenInNewWindow:
                if (!OpenInNewWindow(*element)) problem(action, action.target + " is in no link");
                break;
            case Kind::Hover:
                Hover(*element);
                break;
            case Kind::Leave:
                Leave(*element);
                break;
            default:
                break;
        }
    }

    void performAtBand(LabFrame& frame, const Action& action) {
        BandHost* band = frame.band();
        if (!band || !band->isOpen()) {
            problem(action, "the band is not open");
            return;
        }
        switch (action.kind) {
            case Kind::BandTab:
                if (!band->clickTab(action.target)) {
                    problem(action, "the band shows no tab " + Quote(action.target));
                    return;
                }
                break;
            case Kind::BandClick:
                if (!band->clickControl(action.target, action.group, action.barButton)) {
                    problem(action, "the band shows no " + ControlName(action));
                    return;
                }
                break;
            case Kind::BandHover:
                if (!band->hover(action.target, action.group, action.barButton)) {
                    problem(action, "the band shows no " + ControlName(action));
                }
                return;
            case Kind::BandSelectRule:
                if (!band->selectRule(action.target, action.group, action.belowRows)) {
                    problem(action,
                            action.belowRows
                                ? std::string("no list of the band has room below its rules")
                                : "no list of the band shows a rule " + Quote(action.target));
                    return;
                }
                break;
            case Kind::BandKey:
                if (!band->pressKey(action.first)) {
                    problem(action, "no control of the band has the keyboard focus");
                    return;
                }
                break;
            case Kind::BandLevel:
                if (!band->pickLevel(action.target)) {
                    problem(action, "the band's level list has no " + Quote(action.target));
                    return;
                }
                break;
            case Kind::BandOpenRow:
                if (!band->openRow(action.first, action.target, action.belowRows)) {
                    problem(action, action.belowRows ? "the popup list has no room below its rows"
                                                     : "the popup list shows no such row");
                }
                return;
            case Kind::BandRowMenu:
                if (!band->rowMenu(action.first, action.target, action.value)) {
                    problem(action, "the popup list's row menu could not be used");
                }
                return;
            case Kind::BandOpenRule:
                if (!band->openRule(action.target, action.group)) {
                    problem(action, "no list of the band shows a rule " + Quote(action.target));
                }
                return;
            default:
                return;
        }
        // The page as the user sees it after the change; the runner's next look
        // tells what the change wrote.
        written_->hold(true);
        PumpMessages(0);
        if (frame.band() == band && band->isOpen()) band->tracePages();
        written_->hold(false);
    }

    const Scenario& scenario_;
    std::vector<std::string>& problems_;
    bool keepOpen_;
    SettingsWatch* written_ = nullptr;
    Lab lab_;
    CaptureClasses captures_;
    DialogAnswerer dialogs_;
};

}  // namespace

void RunScenario(const Scenario& scenario, Trace& trace, std::vector<std::string>& problems,
                 bool keepOpen) {
    Runner(scenario, trace, problems, keepOpen).run();
}

}  // namespace qm::lab
