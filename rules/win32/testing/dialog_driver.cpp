#include "rules/win32/testing/dialog_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/win32/testing/screen_capture.h"

namespace qm::testing {
namespace {

DialogDriver* running = nullptr;
constexpr UINT kTickMs = 30;

BOOL CALLBACK EndDialogsProc(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) EndDialog(window, IDCANCEL);
    return TRUE;
}

struct Found {
    const std::string* caption;
    HWND window;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
    auto* found = reinterpret_cast<Found*>(lParam);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (WindowText(window) != *found->caption) return TRUE;
    found->window = window;
    return FALSE;
}

std::string ArtefactFolder() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.rfind('\\') + 1) + "artefacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

const char kTestWindowClass[] = "QuellmarkToolsTestWindow";

}  // namespace

TestWindow::TestWindow(int width, int height) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kTestWindowClass, &wc)) {
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kTestWindowClass;
        RegisterClassA(&wc);
    }
    window_ = CreateWindowExA(0, kTestWindowClass, "Quellmark tools test",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, width,
                              height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
}

TestWindow::~TestWindow() {
    DestroyWindow(window_);
}

DialogDriver::DialogDriver() {
    running = this;
    deadline_ = GetTickCount() + 10000;
    timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    running = nullptr;
}

DialogDriver& DialogDriver::Then(std::function<bool()> step) {
    steps_.push_back(std::move(step));
    return *this;
}

bool DialogDriver::Run(DWORD timeoutMs) {
    deadline_ = GetTickCount() + timeoutMs;
    timedOut_ = false;
    while (!steps_.empty() && !timedOut_) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (static_cast<LONG>(GetTickCount() - deadline_) > 0) OnTick();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTickMs, QS_ALLINPUT);
    }
    // Let what the last step posted arrive.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !timedOut_;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (running) running->OnTick();
}

void DialogDriver::OnTick() {
    if (inStep_ || timedOut_) return;
    if (static_cast<LONG>(GetTickCount() - deadline_) > 0) {
        timedOut_ = true;
        ADD_FAILURE() << "the user's steps did not finish; " << steps_.size() << " left";
        steps_.clear();
        EnumThreadWindows(GetCurrentThreadId(), EndDialogsProc, 0);
        return;
    }
    if (steps_.empty()) return;
    inStep_ = true;
    bool done = steps_.front()();
    inStep_ = false;
    if (done) steps_.pop_front();
}

HWND FindDialog(const std::string& caption) {
    Found found{&caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

std::function<bool()> WaitForDialog(const std::string& caption, HWND& found) {
    return [caption, &found] {
        found = FindDialog(caption);
        return found != nullptr;
    };
}

std::function<bool()> AnswerBox(const std::string& caption, const std::string& text, int button) {
    return [caption, text, button] {
        HWND box = FindDialog(caption);
        if (!box) return false;
        EXPECT_EQ(MessageText(box), text) << caption;
        PostAnswer(box, button);
        return true;
    };
}

std::function<bool()> WaitUntilGone(const std::string& caption) {
    return [caption] { return FindDialog(caption) == nullptr; };
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string MessageText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickNow(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostAnswer(HWND dialog, int id) {
    PostClick(dialog, id);
}

void PostMouseClick(HWND window, POINT point, bool twice) {
    LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(window, WM_LBUTTONUP, 0, at);
    }
}

void TypeInto(HWND dialog, int id, const std::string& text) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The X server keeps what Wine drew, so the picture is taken from outside
// while this thread waits. Wine hands its drawing to the X server while the
// thread waits for messages, so the thread waits a moment first. Wine does
// not follow a host program to its end: the picture is moved into place
// when done, and its arrival is awaited.
void SaveScreenshot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    GdiFlush();
    for (int i = 0; i < 5; ++i) MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT);
    RECT r{};
    GetWindowRect(window, &r);
    const std::string picture = ArtefactFolder() + name + ".png";
    DeleteFileA(picture.c_str());
    ASSERT_TRUE(StartScreenCapture(r, HostFileName(picture))) << "no X display, or no import";
    for (int waited = 0; waited < 20000; waited += 50) {
        if (GetFileAttributesA(picture.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
    ADD_FAILURE() << "no picture " << picture;
}

}  // namespace qm::testing
