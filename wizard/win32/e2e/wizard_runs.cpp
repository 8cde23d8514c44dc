#include "wizard/win32/e2e/wizard_runs.h"

#include <commctrl.h>
#include <prsht.h>

#include "wizard/win32/e2e/product_state.h"
#include "wizard/win32/e2e/wizard_driver.h"

namespace qm::e2e {
namespace {

void Shot(const std::string& prefix, HWND window, const std::string& name) {
    if (!prefix.empty()) Screenshot(window, prefix + "-" + name);
}

}  // namespace

std::string SetupProgram() {
    return OutputFolder() + "QuellmarkSetup.exe";
}

namespace {

// Welcome, options (answering the question to create the folder) and the
// licence, up to the progress page.
::testing::AssertionResult DriveToProgress(const ChildProcess& setup, const InstallRun& run,
                                           HWND& sheet) {
    if (!setup.started()) return ::testing::AssertionFailure() << "cannot start " << run.program;
    sheet = WaitForWizard(setup.id());
    if (!sheet || !WaitForPage(sheet, kWelcomePage)) {
        return ::testing::AssertionFailure() << "no welcome page";
    }
    Shot(run.screenshots, sheet, "1-welcome");
    Click(GetDlgItem(sheet, kNext));
    if (!WaitForPage(sheet, kOptionsPage))
        return ::testing::AssertionFailure() << "no options page";
    HWND options = CurrentPageWindow(sheet);
    if (!run.startMenu) Click(GetDlgItem(options, 1015));
    WaitUntil([&] {
        return (SendMessageA(GetDlgItem(options, 1015), BM_GETCHECK, 0, 0) == BST_CHECKED) ==
               run.startMenu;
    });
    if (!run.folder.empty()) {
        HWND edit = GetDlgItem(options, 1011);
        SetText(edit, "");
        for (char key : run.folder) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 0);
        if (!WaitUntil([&] { return Text(edit) == run.folder; })) {
            return ::testing::AssertionFailure()
                   << "the folder edit holds \"" << Text(edit) << "\"";
        }
    }
    Shot(run.screenshots, sheet, "2-options");
    bool folderExists = FolderExists(Text(GetDlgItem(options, 1011)));
    Click(GetDlgItem(sheet, kNext));
    if (!folderExists) {
        MessageBoxSeen question = WaitForMessageBox(setup.id());
        if (question.text != "Directory does not exist.  Create it?") {
            return ::testing::AssertionFailure() << "asked \"" << question.text << "\"";
        }
        Answer(question, IDOK);
    }
    if (!WaitForPage(sheet, kConfirmPage))
        return ::testing::AssertionFailure() << "no licence page";
    Shot(run.screenshots, sheet, "3-confirm");
    Click(GetDlgItem(sheet, kNext));
    if (!WaitForPage(sheet, kProgressPage)) {
        return ::testing::AssertionFailure() << "no progress page";
    }
    Shot(run.screenshots, sheet, "4-progress");
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult InstallWithWizard(const InstallRun& run) {
    ChildProcess setup("\"" + run.program + "\"");
    HWND sheet = nullptr;
    ::testing::AssertionResult reached = DriveToProgress(setup, run, sheet);
    if (!reached) return reached;
    if (!WaitForPage(sheet, kFinishedPage)) {
        MessageBoxSeen box = WaitForMessageBox(setup.id(), 1000);
        return ::testing::AssertionFailure() << "no finished page; message: \"" << box.text << "\"";
    }
    Shot(run.screenshots, sheet, "5-finished");
    HWND progress = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, kProgressPage, 0));
    LRESULT position = SendMessageA(GetDlgItem(progress, 1013), PBM_GETPOS, 0, 0);
    std::string status = Text(GetDlgItem(progress, 1017));
    if (position != 100 || status != "Installation successfull") {
        return ::testing::AssertionFailure()
               << "the progress page ended at " << position << " with \"" << status << "\"";
    }
    Click(GetDlgItem(sheet, kFinish));
    if (!setup.waitForExit()) return ::testing::AssertionFailure() << "the installer did not end";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult InstallFailingWith(const InstallRun& run, std::string& message) {
    ChildProcess setup("\"" + run.program + "\"");
    HWND sheet = nullptr;
    ::testing::AssertionResult reached = DriveToProgress(setup, run, sheet);
    if (!reached) return reached;
    MessageBoxSeen box = WaitForMessageBox(setup.id());
    if (!box.window) return ::testing::AssertionFailure() << "no message";
    message = box.text;
    Shot(run.screenshots, box.window, "message");
    Answer(box, IDOK);
    if (!setup.waitForExit()) return ::testing::AssertionFailure() << "the installer did not end";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult UninstallWithWizard(const std::string& screenshots) {
    RegValue command = ReadValue(HKEY_LOCAL_MACHINE, kUninstallEntry, "UninstallString");
    if (command.type != REG_SZ) return ::testing::AssertionFailure() << "no uninstall entry";
    ChildProcess uninstall("\"" + std::string(command.data.c_str()) + "\"");
    if (!uninstall.started()) {
        return ::testing::AssertionFailure() << "cannot start " << command.data.c_str();
    }
    HWND sheet = WaitForWizard(uninstall.id());
    if (!sheet || !WaitForPage(sheet, 0)) return ::testing::AssertionFailure() << "no question";
    std::string outside = ControlsOutside(CurrentPageWindow(sheet));
    if (!outside.empty()) {
        return ::testing::AssertionFailure() << "controls beyond the question page: " << outside;
    }
    Shot(screenshots, sheet, "1-question");
    Click(GetDlgItem(sheet, kNext));
    MessageBoxSeen done = WaitForMessageBox(uninstall.id());
    Shot(screenshots, sheet, "2-progress");
    Shot(screenshots, done.window, "3-message");
    const std::string expected =
        "Uninstall successful.\n\nPlease close all Internet Explorer windows and\nrestart "
        "Internet Explorer to view changes.";
    if (done.text != expected)
        return ::testing::AssertionFailure() << "said \"" << done.text << "\"";
    Answer(done, IDOK);
    if (!uninstall.waitForExit()) return ::testing::AssertionFailure() << "did not end";
    return ::testing::AssertionSuccess();
}

}  // namespace qm::e2e
