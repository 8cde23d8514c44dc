#include "setup/win32/browser_check.h"

#include <cstring>

#include "setup/browser_close_countdown.h"
#include "setup/resources/setup_ids.h"
#include "setup/wizard_texts.h"

namespace qm::win32 {
namespace {

constexpr char kBrowserFrameClass[] = "IEFrame";
// A browser that asks a question before it closes must not hold the
// installer: its answer is not waited for.
constexpr UINT kCloseRequestTimeout = 500;

bool BrowserOpen() {
    return FindWindowA(kBrowserFrameClass, nullptr) != nullptr;
}

BOOL CALLBACK CloseIfBrowser(HWND window, LPARAM) {
    char name[10] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, kBrowserFrameClass) == 0) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, kCloseRequestTimeout,
                            &ignored);
    }
    return TRUE;
}

class CannotProceedDialog {
public:
    static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<CannotProceedDialog*>(GetWindowLongPtrA(window, DWLP_USER));
        if (!self) return FALSE;
        return self->handle(window, message, wParam);
    }

private:
    INT_PTR handle(HWND window, UINT message, WPARAM wParam) {
        switch (message) {
            case WM_INITDIALOG: {
                char text[1024] = {};
                LoadStringA(GetModuleHandleA(nullptr), IDS_CANNOT_PROCEED, text, sizeof text);
                SetDlgItemTextA(window, IDC_CANNOT_PROCEED_TEXT, text);
                return TRUE;
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                    EndDialog(window, IDOK);
                } else if (LOWORD(wParam) == IDC_CLOSE_BROWSERS) {
                    closeBrowsers(window);
                }
                return TRUE;
            case WM_TIMER:
                if (wParam == IDT_BROWSER_WAIT) onTick(window);
                return TRUE;
            default:
                return FALSE;
        }
    }

    void closeBrowsers(HWND window) {
        EnableWindow(GetDlgItem(window, IDOK), FALSE);
        EnableWindow(GetDlgItem(window, IDC_CLOSE_BROWSERS), FALSE);
        countdown_.start();
        EnumWindows(&CloseIfBrowser, 0);
        SetTimer(window, IDT_BROWSER_WAIT, 500, nullptr);
    }

    void onTick(HWND window) {
        switch (countdown_.tick(BrowserOpen())) {
            case BrowserWait::KeepWaiting:
                return;
            case BrowserWait::AllClosed:
                KillTimer(window, IDT_BROWSER_WAIT);
                EndDialog(window, IDC_CLOSE_BROWSERS);
                return;
            case BrowserWait::GiveUp:
                KillTimer(window, IDT_BROWSER_WAIT);
                MessageBoxA(window, kBrowserCloseFailed, kCannotProceedCaption, MB_OK);
                EndDialog(window, IDOK);
                return;
        }
    }

    BrowserCloseCountdown countdown_;
};

}  // namespace

bool BrowsersClosed(HINSTANCE instance) {
    if (!BrowserOpen()) return true;
    CannotProceedDialog dialog;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CANNOT_PROCEED), nullptr,
                           &CannotProceedDialog::Proc,
                           reinterpret_cast<LPARAM>(&dialog)) == IDC_CLOSE_BROWSERS;
}

}  // namespace qm::win32
