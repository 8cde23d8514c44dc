#pragma once
// Answers the modal dialogs the band opens. Their loop runs on the lab's
// thread, so the lab looks for them from its scheduler, whose timers the
// modal loop dispatches: each dialog gets the next answer the scenario
// prepared (fill edits by their label, tick boxes, press a button), or is
// cancelled when none was prepared.

#include <windows.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "lab/scenario.h"
#include "lab/win32/scheduler.h"
#include "lab/trace.h"

namespace qm::lab {

class DialogAnswerer {
public:
    DialogAnswerer(Trace& trace, Scheduler& scheduler, std::vector<std::string>& problems);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // A step of the next answer; DialogPress completes it.
    void prepare(const Action& step);
    // Reports the answers no dialog took.
    void finish();

private:
    void look();
    void answer(HWND dialog, const std::vector<Action>& steps);
    bool apply(HWND dialog, const Action& step);
    // A click on a row of the dialog's (first) list, or below its rows.
    bool clickRow(HWND dialog, const Action& step);
    // The dialog's controls as they are now.
    void traceNow(HWND dialog);
    void problem(const Action& step, const std::string& text);

    Trace& trace_;
    Scheduler& scheduler_;
    std::vector<std::string>& problems_;
    Scheduler::TaskId task_ = 0;
    std::vector<Action> gathering_;
    std::deque<std::vector<Action>> ready_;
    std::set<HWND> seen_;
};

}  // namespace qm::lab
