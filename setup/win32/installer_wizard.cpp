#include "setup/win32/installer_wizard.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include "common/win32/com_ptr.h"
#include "common/win32/registry_win32.h"
#include "common/win32/file_system_win32.h"
#include "wizard/install_path.h"
#include "setup/install_procedure.h"
#include "setup/options_folder.h"
#include "setup/resources/setup_ids.h"
#include "setup/wizard_texts.h"
#include "wizard/win32/dialog_progress_page.h"
#include "setup/win32/module_package.h"
#include "wizard/win32/packed_bitmap.h"
#include "wizard/win32/shell_shortcuts.h"
#include "wizard/win32/system_folders.h"
#include "wizard/win32/system_server_registration.h"
#include "wizard/win32/wizard_frame.h"
#include "wizard/win32/wizard_page.h"

namespace qm::win32 {
namespace {

class InstallerPage : public WizardPage {
public:
    InstallerPage(HINSTANCE instance, int dialog, InstallerState& state)
        : WizardPage(instance, dialog, IDR_LOGO_JPG, IDB_LOGO), state_(state) {}

protected:
    InstallerState& state_;
};

class WelcomePage : public InstallerPage {
public:
    using InstallerPage::InstallerPage;

private:
    void onInit() override { SetDlgItemTextA(window(), IDC_WELCOME_TEXT, kWelcomeText); }
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_NEXT);
        ShowButton(sheet(), kBackButton, false);
        nextText_ = ButtonText(sheet(), kNextButton);
        SetButtonText(sheet(), kNextButton, kInstallButton);
    }
    bool onNext() override {
        SetButtonText(sheet(), kNextButton, nextText_);
        ShowButton(sheet(), kBackButton, true);
        return true;
    }

    std::string nextText_;
};

class OptionsPage : public InstallerPage {
public:
    using InstallerPage::InstallerPage;

private:
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_BACK | PSWIZB_NEXT);
        showFolder(state_.installFolder);
        CheckDlgButton(window(), IDC_START_MENU,
                       state_.createStartMenu ? BST_CHECKED : BST_UNCHECKED);
    }
    void onCommand(int id, int code) override {
        if (id == IDC_BROWSE && code == BN_CLICKED) browse();
        if (id == IDC_RESET && code == BN_CLICKED) showFolder(state_.defaultFolder);
        if (id == IDC_FOLDER && code == EN_CHANGE) offerReset();
    }
    bool onNext() override {
        OptionsFolder typed = CheckOptionsFolder(SystemFolders(), folderText());
        if (typed.check == FolderCheck::Empty) {
            ShowMessage(sheet(), kEnterLocation);
            showFolder(state_.defaultFolder);
            return false;
        }
        if (typed.check == FolderCheck::AskToCreate &&
            MessageBoxA(sheet(), kCreateFolderQuestion, kCreateFolderCaption, MB_OKCANCEL) !=
                IDOK) {
            return false;
        }
        state_.installFolder = typed.folder;
        state_.createStartMenu = IsDlgButtonChecked(window(), IDC_START_MENU) == BST_CHECKED;
        return true;
    }

    std::string folderText() const { return WindowText(GetDlgItem(window(), IDC_FOLDER)); }
    void showFolder(const std::string& folder) {
        SetDlgItemTextA(window(), IDC_FOLDER, folder.c_str());
        offerReset();
    }
    void offerReset() {
        bool offered = ResetOffered(folderText(), state_.defaultFolder);
        ShowWindow(GetDlgItem(window(), IDC_RESET), offered ? SW_SHOW : SW_HIDE);
    }

    static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
        if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
        return 0;
    }
    void browse() {
        // The folder browser needs COM; it must be gone again before the
        // install procedure initialises OLE for the DLL.
        if (FAILED(CoInitialize(nullptr))) return;
        std::string current = folderText();
        char chosen[MAX_PATH] = {};
        BROWSEINFOA info{};
        info.hwndOwner = sheet();
        info.pszDisplayName = chosen;
        info.lpszTitle = kBrowseTitle;
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = &BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(current.c_str());
        LPITEMIDLIST list = SHBrowseForFolderA(&info);
        if (list) {
            if (SHGetPathFromIDListA(list, chosen)) showFolder(chosen);
            // The shell's own allocator: on Windows 95 it is not COM's.
            ComPtr<IMalloc> allocator;
            if (SUCCEEDED(SHGetMalloc(allocator.put()))) allocator->Free(list);
        }
        CoUninitialize();
    }
};

class ConfirmPage : public InstallerPage {
public:
    using InstallerPage::InstallerPage;

private:
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_BACK | PSWIZB_NEXT);
        backText_ = ButtonText(sheet(), kBackButton);
        nextText_ = ButtonText(sheet(), kNextButton);
        ApplyButtonChange(sheet(), kMakeChangesButton);
        SetButtonText(sheet(), kNextButton, kConfirmButton);
        widened_ = true;
        HWND licence = GetDlgItem(window(), IDC_LICENCE);
        SetWindowTextA(licence, LicenceText().c_str());
        int end = GetWindowTextLengthA(licence);
        SendMessageA(licence, EM_SETSEL, end, end);
    }
    bool onNext() override { return restoreButtons(); }
    bool onBack() override { return restoreButtons(); }
    bool restoreButtons() {
        if (widened_) {
            SetButtonText(sheet(), kBackButton, backText_);
            SetButtonText(sheet(), kNextButton, nextText_);
            UndoButtonGeometry(sheet(), kMakeChangesButton);
            widened_ = false;
        }
        return true;
    }

    // The licence as the edit control wants it, every line ending in CR LF.
    std::string LicenceText() const {
        HRSRC found = FindResourceA(instance(), MAKEINTRESOURCEA(IDR_LICENCE_TEXT), "TEXT");
        HGLOBAL loaded = found ? LoadResource(instance(), found) : nullptr;
        const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        if (!bytes) return {};
        std::string text;
        for (DWORD i = 0, size = SizeofResource(instance(), found); i < size; ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += '\r';
            text += bytes[i];
        }
        return text;
    }

    std::string backText_;
    std::string nextText_;
    bool widened_ = false;
};

class ProgressPage : public InstallerPage {
public:
    using InstallerPage::InstallerPage;

private:
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_DISABLEDFINISH);
        EnableButton(sheet(), kCancelButton, false);
        SendDlgItemMessageA(window(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(window(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
        SetDlgItemTextA(window(), IDC_STATUS, kInitializingText);
        SetTimer(window(), IDT_START_INSTALL, 1500, nullptr);
    }
    // Once the procedure has begun only its own failure closes the wizard.
    bool onQueryCancel() override { return failed_; }
    void onTimer(UINT_PTR id) override {
        if (id != IDT_START_INSTALL) return;
        KillTimer(window(), IDT_START_INSTALL);
        ModulePackage package(instance());
        DialogProgressPage page(window(), IDC_STATUS, IDC_PROGRESS);
        InstallSystem system{package,
                             SystemFileSystem(),
                             SystemFolders(),
                             SystemRegistry(),
                             SystemServerRegistration(),
                             SystemProgramsFolders(),
                             ShellShortcuts(),
                             page};
        if (RunInstall(system, InstallChoices{state_.installFolder, state_.createStartMenu})) {
            PressNext(sheet());
        } else {
            failed_ = true;
            CloseWizard(sheet());
        }
    }

    bool failed_ = false;
};

class FinishedPage : public InstallerPage {
public:
    using InstallerPage::InstallerPage;

private:
    void onInit() override {
        SetDlgItemTextA(window(), IDC_FINISHED_TEXT, kFinishedText);
        menuPicture_.reset(LoadPackedBitmap(instance(), IDB_EXPLORER_BAR_MENU));
        SendDlgItemMessageA(window(), IDC_MENU_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(menuPicture_.get()));
    }
    void onSetActive() override {
        PropSheet_SetWizButtons(sheet(), PSWIZB_FINISH);
        PropSheet_SetFinishText(sheet(), kFinishedButton);
        EnableButton(sheet(), kCancelButton, false);
    }

    band::Bitmap menuPicture_;
};

// Windows 98 and NT4 without the desktop update name no Program Files folder.
std::string ProgramFilesDirOfRegistry() {
    std::unique_ptr<RegistryKey> key;
    std::uint32_t type = 0;
    std::string data;
    if (SystemRegistry().openLocalMachine("Software\\Microsoft\\Windows\\CurrentVersion", false,
                                          key) != kRegSuccess ||
        key->queryValue("ProgramFilesDir", type, data) != kRegSuccess || type != REG_SZ) {
        return {};
    }
    return data.substr(0, data.find('\0'));
}

int CALLBACK FrameCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        for (const ButtonChange& change : kInstallerFrameButtons) ApplyButtonChange(sheet, change);
    }
    return 0;
}

}  // namespace

void RunInstallerWizard(HINSTANCE instance, InstallerState& state) {
    WelcomePage welcome(instance, IDD_WELCOME, state);
    OptionsPage options(instance, IDD_OPTIONS, state);
    ConfirmPage confirm(instance, IDD_CONFIRM, state);
    ProgressPage progress(instance, IDD_PROGRESS, state);
    FinishedPage finished(instance, IDD_FINISHED, state);
    PROPSHEETPAGEA pages[] = {welcome.describe(), options.describe(), confirm.describe(),
                              progress.describe(), finished.describe()};
    RunWizard(instance, pages, sizeof pages / sizeof pages[0], IDI_QUELLMARK, IDS_SETUP_CAPTION,
              &FrameCallback);
}

std::string DefaultInstallFolderOfSystem() {
    std::string programFiles = SpecialFolder(CSIDL_PROGRAM_FILES);
    return DefaultInstallFolder(programFiles,
                                programFiles.empty() ? ProgramFilesDirOfRegistry() : std::string());
}

}  // namespace qm::win32
