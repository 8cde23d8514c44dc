#include "uninstall/win32/uninstall_wizard.h"

#include <commctrl.h>
#include <prsht.h>

#include "common/win32/file_system_win32.h"
#include "wizard/win32/dialog_progress_page.h"
#include "wizard/win32/system_folders.h"
#include "wizard/win32/system_server_registration.h"
#include "wizard/win32/wizard_frame.h"
#include "wizard/win32/wizard_page.h"
#include "uninstall/resources/uninstall_ids.h"
#include "uninstall/uninstall_procedure.h"
#include "uninstall/uninstall_texts.h"
#include "uninstall/win32/system_uninstall.h"

namespace qm::win32 {
namespace {

// Posted to the progress page so that it shows before the procedure holds the thread.
constexpr UINT kRunUninstall = WM_APP + 1;

class ConfirmPage : public WizardPage {
public:
    using WizardPage::WizardPage;

private:
    void onInit() override { SetDlgItemTextA(window(), IDC_THANKS_TEXT, kThanksText); }
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_NEXT);
        ShowButton(sheet(), kBackButton, false);
    }
    bool onNext() override {
        ShowButton(sheet(), kNextButton, false);
        return true;
    }
};

class WizardProgress : public DialogProgressPage, public UninstallPage {
public:
    explicit WizardProgress(HWND page) : DialogProgressPage(page, IDC_STATUS, IDC_PROGRESS) {}
    void disableWizard() override { EnableWindow(GetParent(page_), FALSE); }
};

class ProgressPage : public WizardPage {
public:
    using WizardPage::WizardPage;

private:
    void onSetActive() override {
        SetButtonText(sheet(), kFinishButton, kHiddenFinishText);
        ShowButton(sheet(), kFinishButton, false);
        SetButtonText(sheet(), kCancelButton, kCancelAsFinish);
        EnableButton(sheet(), kCancelButton, false);
        SendDlgItemMessageA(window(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(window(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
        PostMessageA(window(), kRunUninstall, 0, 0);
    }
    bool onQueryCancel() override { return done_; }
    void onAppMessage(UINT message) override {
        if (message != kRunUninstall || started_) return;
        started_ = true;
        WizardProgress page(window());
        UninstallSystem system{SystemUninstallRegistry(),
                               SystemServerRegistration(),
                               SystemFolders(),
                               SystemFileSystem(),
                               SystemProgramsFolders(),
                               SystemUninstallShell(),
                               page};
        RunUninstall(system);
        done_ = true;
        CloseWizard(sheet());
    }

    bool started_ = false;
    bool done_ = false;
};

int CALLBACK FrameCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        for (const ButtonChange& change : kUninstallerFrameButtons)
            ApplyButtonChange(sheet, change);
    }
    return 0;
}

}  // namespace

void RunUninstallWizard(HINSTANCE instance) {
    ConfirmPage confirm(instance, IDD_CONFIRM_UNINSTALL, IDR_LOGO_JPG, IDB_LOGO);
    ProgressPage progress(instance, IDD_UNINSTALL_PROGRESS, IDR_LOGO_JPG, IDB_LOGO);
    PROPSHEETPAGEA pages[] = {confirm.describe(), progress.describe()};
    RunWizard(instance, pages, sizeof pages / sizeof pages[0], IDI_QUELLMARK, IDS_UNINSTALL_CAPTION,
              &FrameCallback);
}

}  // namespace qm::win32
