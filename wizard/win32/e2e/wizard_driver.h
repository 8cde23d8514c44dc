#pragma once
// Drives the wizards from outside, the way a person does: finds their
// windows by process, reads what they show, presses their buttons, answers
// their message boxes, and keeps screenshots of what it saw.

#include <windows.h>

#include <string>
#include <vector>

namespace qm::e2e {

// Generous limits: the machines that run these tests are shared and busy.
constexpr DWORD kWindowTimeout = 30000;
constexpr DWORD kExitTimeout = 30000;

// Folders beside this test program: the deliverables and the artefacts.
std::string BuildFolder();
std::string OutputFolder();
std::string ArtefactFolder();

class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine);
    ~ChildProcess();  // ends the program if it is still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    // True when the program ended within `timeout` milliseconds.
    bool waitForExit(DWORD timeout = kExitTimeout);
    DWORD exitCode() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The wizard frame of the process, once it shows.
HWND WaitForWizard(DWORD process, DWORD timeout = kWindowTimeout);
// The index of the page the wizard shows, -1 when it shows none.
int CurrentPage(HWND sheet);
bool WaitForPage(HWND sheet, int index, DWORD timeout = kWindowTimeout);
HWND CurrentPageWindow(HWND sheet);

// A dialog of the process that holds a control with this id (not a message box).
HWND WaitForDialogWith(DWORD process, int controlId, DWORD timeout = kWindowTimeout);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// The next message box of the process.
MessageBoxSeen WaitForMessageBox(DWORD process, DWORD timeout = kWindowTimeout);
void Answer(const MessageBoxSeen& box, int button);

// Text of a window of another process, through WM_GETTEXT.
std::string Text(HWND window);
void SetText(HWND window, const std::string& text);
void Click(HWND button);
bool IsShown(HWND window);
bool IsEnabled(HWND window);
RECT ScreenRect(HWND window);
// The ids of the controls of `page` that reach beyond it, blank-separated;
// empty when every control fits.
std::string ControlsOutside(HWND page);

// Waits until `condition` holds, checking every 50 ms.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeout = kWindowTimeout) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeout) return false;
        Sleep(50);
    }
}

// Saves what the screen shows of `window` as ArtefactFolder() + name + ".bmp".
bool Screenshot(HWND window, const std::string& name);

}  // namespace qm::e2e
