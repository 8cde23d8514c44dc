#include "log/win32/log_settings_dialog.h"

#include "common/decimal.h"
#include "log/win32/centred_dialog.h"
#include "rules/resources/tools_ids.h"
#include "rules/win32/dialog_text.h"

namespace qm::tools {
namespace {

class LogSettingsDialog {
public:
    explicit LogSettingsDialog(LogSettingsChoice& choice) : choice_(choice) {}

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* self = reinterpret_cast<LogSettingsDialog*>(lParam);
            self->dialog_ = dialog;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<LogSettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!self || message != WM_COMMAND) return FALSE;
        switch (LOWORD(wParam)) {
            case IDOK:
                self->OnOk();
                return TRUE;
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                return TRUE;
        }
        return FALSE;
    }

private:
    void OnInit() {
        CentreOverOwnerWindow(dialog_);
        SetTicked(dialog_, IDC_LOG_STOPPED, choice_.logStopped);
        SetTicked(dialog_, IDC_LOG_RECORDED, choice_.logRecorded);
        int action = choice_.clearAll        ? IDC_CLEAR_ALL
                     : choice_.stopRecording ? IDC_STOP_RECORDING
                                             : IDC_REMOVE_OLDEST;
        CheckRadioButton(dialog_, IDC_REMOVE_OLDEST, IDC_CLEAR_ALL, action);
        SetDlgItemTextA(dialog_, IDC_MAX_LOG_SIZE, DecimalText(choice_.maxLogSize).c_str());
    }

    void OnOk() {
        std::optional<std::int32_t> size = ReadMaxLogSize(ControlText(dialog_, IDC_MAX_LOG_SIZE));
        if (!size) {
            Exclaim(dialog_, kBadNumberMessage, kBadNumberCaption);
            return;
        }
        choice_.logStopped = IsTicked(dialog_, IDC_LOG_STOPPED);
        choice_.logRecorded = IsTicked(dialog_, IDC_LOG_RECORDED);
        choice_.maxLogSize = *size;
        choice_.removeOldest = IsTicked(dialog_, IDC_REMOVE_OLDEST);
        choice_.stopRecording = IsTicked(dialog_, IDC_STOP_RECORDING);
        choice_.clearAll = IsTicked(dialog_, IDC_CLEAR_ALL);
        EndDialog(dialog_, IDOK);
    }

    LogSettingsChoice& choice_;
    HWND dialog_ = nullptr;
};

}  // namespace

bool RunLogSettingsDialog(HINSTANCE instance, HWND owner, LogSettingsChoice& choice) {
    LogSettingsDialog dialog(choice);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LOG_SETTINGS), owner,
                           LogSettingsDialog::Proc, reinterpret_cast<LPARAM>(&dialog)) == IDOK;
}

}  // namespace qm::tools
