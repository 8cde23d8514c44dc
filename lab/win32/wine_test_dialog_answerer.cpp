// The lab answers the modal dialogs of its thread from its scheduler, which
// the dialog's own loop keeps running: message boxes stand for the band's
// dialogs here.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab/win32/dialog_answerer.h"
#include "lab/expectation.h"
#include "lab/win32/scheduler.h"
#include "lab/trace.h"

namespace qm::lab {
namespace {

Action Step(Action::Kind kind, const std::string& target, int line, const std::string& value = "") {
    Action action{kind, target, 0, 0, line};
    action.value = value;
    return action;
}

bool Traced(const Trace& trace, const std::string& pattern) {
    for (const std::string& line : trace.lines()) {
        if (PatternMatches(pattern, line)) return true;
    }
    return false;
}

TEST(DialogAnswerer, EachDialogTakesTheNextAnswerOrIsCancelledWithoutOne) {
    struct Case {
        const char* label;
        std::vector<Action> answer;
        int result;
        const char* line;
        std::size_t problems;
    };
    using K = Action::Kind;
    const Case cases[] = {
        {"a button pressed by its text",
         {Step(K::DialogPress, "No", 1)},
         IDNO,
         "dialog pressed \"No\"",
         0},
        {"no answer", {}, IDCANCEL, "dialog unanswered \"Question\"", 0},
        {"a button the dialog lacks",
         {Step(K::DialogPress, "Maybe", 3)},
         IDCANCEL,
         "dialog missing \"Maybe\"",
         1},
        {"an edit the dialog lacks",
         {Step(K::DialogFill, "Name:", 4, "x"), Step(K::DialogPress, "Yes", 5)},
         IDCANCEL,
         "dialog missing \"Name:\"",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Trace trace;
        Scheduler scheduler;
        std::vector<std::string> problems;
        DialogAnswerer answerer(trace, scheduler, problems);
        for (const Action& step : c.answer) answerer.prepare(step);
        // A dialog left open would hang the test: cancel whatever is still up.
        scheduler.after(5000, [] {
            if (HWND box = FindWindowA("#32770", "Question")) PostMessageA(box, WM_CLOSE, 0, 0);
        });
        int result = MessageBoxA(nullptr, "Go on?", "Question", MB_YESNOCANCEL);
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(Traced(trace, "dialog shown \"Question\"*button=\"&Yes\"*button=\"&No\"*"))
            << (trace.lines().empty() ? "" : trace.lines().front());
        EXPECT_TRUE(Traced(trace, c.line));
        answerer.finish();
        EXPECT_EQ(problems.size(), c.problems);
    }
}

TEST(DialogAnswerer, AnAnswerNoDialogTookIsAProblemWithItsLine) {
    Trace trace;
    Scheduler scheduler;
    std::vector<std::string> problems;
    DialogAnswerer answerer(trace, scheduler, problems);
    answerer.prepare(Step(Action::Kind::DialogTick, "On", 7));
    answerer.prepare(Step(Action::Kind::DialogPress, "OK", 8));
    answerer.prepare(Step(Action::Kind::DialogFill, "Name:", 9, "x"));
    PumpMessages(200);
    answerer.finish();
    EXPECT_EQ(problems, (std::vector<std::string>{"line 8: no dialog appeared for this answer",
                                                  "line 9: this answer has no dialog-press"}));
    EXPECT_TRUE(trace.lines().empty());
}

}  // namespace
}  // namespace qm::lab
