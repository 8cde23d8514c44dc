#include "lab/win32/dialog_answerer.h"

#include <commctrl.h>

#include "lab/win32/band_controls.h"
#include "lab/win32/scheduler.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

constexpr unsigned kLookMilliseconds = 50;

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
    if (IsWindowVisible(window) && IsClass(window, "#32770")) {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    }
    return TRUE;
}

// The edit (or combo box) that follows the label in the dialog.
HWND EditAfter(HWND label) {
    for (HWND next = GetWindow(label, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
        if (IsClass(next, "Edit") || IsClass(next, "ComboBox")) return next;
        if (IsClass(next, "Static")) return nullptr;
    }
    return nullptr;
}

// What a step names, for the trace when the dialog lacks it.
std::string StepName(const Action& step) {
    if (step.kind != Action::Kind::DialogClickRow) return step.target;
    if (step.belowRows) return "below-rows";
    return step.first > 0 ? "row " + std::to_string(step.first) : step.target;
}

// Where typing into the control goes: an edit, or the edit of a combo box.
HWND TypingTarget(HWND control) {
    if (IsClass(control, "Edit")) return control;
    HWND inner = FindWindowExA(control, nullptr, "Edit", nullptr);
    return inner ? inner : nullptr;
}

}  // namespace

DialogAnswerer::DialogAnswerer(Trace& trace, Scheduler& scheduler,
                               std::vector<std::string>& problems)
    : trace_(trace), scheduler_(scheduler), problems_(problems) {
    task_ = scheduler_.after(kLookMilliseconds, [this] { look(); });
}

DialogAnswerer::~DialogAnswerer() {
    scheduler_.cancel(task_);
}

void DialogAnswerer::prepare(const Action& step) {
    gathering_.push_back(step);
    if (step.kind == Action::Kind::DialogPress) {
        ready_.push_back(std::move(gathering_));
        gathering_.clear();
    }
}

void DialogAnswerer::finish() {
    for (const std::vector<Action>& steps : ready_) {
        problem(steps.back(), "no dialog appeared for this answer");
    }
    if (!gathering_.empty()) problem(gathering_.front(), "this answer has no dialog-press");
    ready_.clear();
    gathering_.clear();
}

void DialogAnswerer::problem(const Action& step, const std::string& text) {
    problems_.push_back("line " + std::to_string(step.line) + ": " + text);
}

bool DialogAnswerer::clickRow(HWND dialog, const Action& step) {
    std::vector<HWND> lists = FindShownWindows(dialog, "SysListView32");
    if (lists.empty()) return false;
    HWND list = lists.front();
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int row = -1;
    if (!step.belowRows) {
        row = step.first > 0 ? (step.first <= count ? step.first - 1 : -1)
                             : FindListRow(list, step.target, -1);
        if (row < 0) return false;
    }
    POINT at;
    if (!ListPoint(list, row, &at)) return false;
    ClickList(list, at);
    PumpMessages(0);
    trace_.add(row < 0 ? lines::DialogClickedBelowRows()
                       : lines::DialogClickedRow(row + 1, ListItemText(list, row, 0)));
    traceNow(dialog);
    return true;
}

void DialogAnswerer::traceNow(HWND dialog) {
    if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        trace_.add(lines::DialogNow(WindowText(dialog), ControlEntries(dialog)));
    }
}

void DialogAnswerer::look() {
    // Looked for again first: an answer may open a dialog of its own.
    task_ = scheduler_.after(kLookMilliseconds, [this] { look(); });
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    for (auto it = seen_.begin(); it != seen_.end();) {
        it = IsWindow(*it) ? std::next(it) : seen_.erase(it);
    }
    for (HWND dialog : dialogs) {
        if (!seen_.insert(dialog).second) continue;
        trace_.add(lines::DialogShown(WindowText(dialog), ControlEntries(dialog)));
        for (HWND list : FindShownWindows(dialog, "SysListView32")) {
            for (const std::vector<std::string>& row : ListRows(list)) {
                trace_.add(lines::DialogRow(row));
            }
        }
        if (ready_.empty()) {
            trace_.add(lines::DialogUnanswered(WindowText(dialog)));
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            continue;
        }
        std::vector<Action> steps = std::move(ready_.front());
        ready_.pop_front();
        answer(dialog, steps);
    }
}

void DialogAnswerer::answer(HWND dialog, const std::vector<Action>& steps) {
    for (const Action& step : steps) {
        if (!IsWindow(dialog)) return;
        if (!apply(dialog, step)) {
            trace_.add(lines::DialogStep("missing", StepName(step)));
            problem(step, "the dialog has no " + (step.kind == Action::Kind::DialogClickRow
                                                      ? std::string("such row")
                                                      : "control " + Quote(step.target)));
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    }
    // A dialog still shown after its button (it refused the answer) is
    // looked at again: the next answer, or cancelled without one.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) seen_.erase(dialog);
}

bool DialogAnswerer::apply(HWND dialog, const Action& step) {
    switch (step.kind) {
        case Action::Kind::DialogFill: {
            HWND label = FindShownControl(dialog, "Static", step.target);
            HWND edit = label ? EditAfter(label) : nullptr;
            if (!edit) return false;
            if (HWND typed = TypingTarget(edit)) {
                TypeInto(typed, step.value);
            } else {
                SetWindowTextA(edit, step.value.c_str());  // a drop-down list takes no typing
            }
            trace_.add(lines::DialogStep("filled", step.target, step.value));
            return true;
        }
        case Action::Kind::DialogClickRow:
            return clickRow(dialog, step);
        case Action::Kind::DialogWait:
            trace_.add(lines::DialogWaited(step.first));
            PumpMessages(static_cast<unsigned>(step.first),
                         [dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
            traceNow(dialog);
            return true;
        case Action::Kind::DialogTick:
        case Action::Kind::DialogUntick: {
            HWND box = FindShownControl(dialog, "Button", step.target);
            if (!box) return false;
            bool tick = step.kind == Action::Kind::DialogTick;
            bool ticked = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (ticked != tick) ClickButton(box);
            trace_.add(lines::DialogStep(tick ? "ticked" : "unticked", step.target));
            return true;
        }
        case Action::Kind::DialogPress: {
            HWND button = FindShownControl(dialog, "Button", step.target);
            if (!button) return false;
            trace_.add(lines::DialogStep("pressed", step.target));
            ClickButton(button);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qm::lab
