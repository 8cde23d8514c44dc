#pragma once
// Plays the user of our windows in Wine tests. Modal dialogs run their own
// message loops on the test's thread, so the steps run from a thread timer:
// one step per tick, in order, a step that returns false being tried again
// at the next tick (while the window it waits for has not appeared). Steps
// post the clicks that open modal windows, so no step ever waits inside one.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace qm::testing {

class DialogDriver {
public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    DialogDriver& Then(std::function<bool()> step);
    // Pumps messages until every step ran; false after `timeoutMs`, when
    // every dialog of the thread that is still open is ended.
    bool Run(DWORD timeoutMs = 10000);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::deque<std::function<bool()>> steps_;
    UINT_PTR timer_ = 0;
    DWORD deadline_ = 0;
    bool inStep_ = false;
    bool timedOut_ = false;
};

// A plain visible top-level window that hosts pages and owns dialogs.
class TestWindow {
public:
    TestWindow(int width, int height);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// The visible top-level dialog of this thread with that caption, or null.
HWND FindDialog(const std::string& caption);
// Steps: wait for the dialog with that caption and remember it; wait for a
// message box, check its text and answer it; wait until a dialog is gone.
std::function<bool()> WaitForDialog(const std::string& caption, HWND& found);
std::function<bool()> AnswerBox(const std::string& caption, const std::string& text, int button);
std::function<bool()> WaitUntilGone(const std::string& caption);
// The text of a message box (its static 0xFFFF).
std::string MessageText(HWND box);
std::string WindowText(HWND window);

// A user's click on a push button, delivered later from the message loop.
void PostClick(HWND dialog, int id);
// A user's click on a check box or radio button, now.
void ClickNow(HWND dialog, int id);
// Answers a message box or ends a dialog with `id` (IDOK, IDYES, ...).
void PostAnswer(HWND dialog, int id);
// A mouse click (or double click) at `point` of a window's client area.
void PostMouseClick(HWND window, POINT point, bool twice = false);
// The user typing `text` into the edit control `id`, replacing its text.
void TypeInto(HWND dialog, int id, const std::string& text);

// Saves what the screen shows of `window` as artefacts/<name>.png beside the
// test program.
void SaveScreenshot(HWND window, const std::string& name);

}  // namespace qm::testing
