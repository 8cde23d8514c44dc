#include "lab/scenario_runner.h"

#include "lab/band_settings.h"
#include "lab/capture_classes.h"
#include "lab/lab.h"
#include "lab/lab_browser.h"
#include "lab/lab_element.h"
#include "lab/lab_frame.h"
#include "lab/scheduler.h"
#include "lab/trace_lines.h"
#include "lab/user_actions.h"

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
        case Kind::BarMenu:
            return "bar-menu";
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
        default:
            return action.target;
    }
}

class Runner {
public:
    Runner(const Scenario& scenario, Trace& trace, std::vector<std::string>& problems,
           bool keepOpen)
        : scenario_(scenario),
          problems_(problems),
          keepOpen_(keepOpen),
          lab_(scenario, trace),
          captures_(lab_) {}

    void run() {
        ScopedBandSettings settings(scenario_.settings, lab_.trace());
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
            for (const Action& action : scenario_.actions) {
                if (!frame.isOpen()) {
                    problem(action, "the browser window was closed");
                    break;
                }
                lab_.trace().add(lines::User(ActionWord(action.kind), ActionTarget(action)));
                perform(frame, *main.get(), action);
                PumpMessages(0);
            }
            if (keepOpen_) PumpMessages(INFINITE, [&frame] { return !frame.isOpen(); });
            frame.closeBar();
            PumpMessages(0);
        }
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

    const Scenario& scenario_;
    std::vector<std::string>& problems_;
    bool keepOpen_;
    Lab lab_;
    CaptureClasses captures_;
};

}  // namespace

void RunScenario(const Scenario& scenario, Trace& trace, std::vector<std::string>& problems,
                 bool keepOpen) {
    Runner(scenario, trace, problems, keepOpen).run();
}

}  // namespace qm::lab
