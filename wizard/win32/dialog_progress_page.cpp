#include "wizard/win32/dialog_progress_page.h"

#include <commctrl.h>

#include "wizard/win32/wizard_page.h"

namespace qm::win32 {

void DialogProgressPage::setStatusText(const std::string& text) {
    HWND status = GetDlgItem(page_, statusId_);
    SetWindowTextA(status, text.c_str());
    UpdateWindow(status);
}

void DialogProgressPage::setProgress(int percent) {
    HWND bar = GetDlgItem(page_, progressId_);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(bar);
}

void DialogProgressPage::showMessage(const std::string& text) {
    ShowMessage(GetParent(page_), text);
}

}  // namespace qm::win32
