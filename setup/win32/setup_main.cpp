// QuellmarkSetup: the browser check, then the installer wizard.

#include <windows.h>
#include <commctrl.h>

#include "common/platform.h"
#include "setup/win32/browser_check.h"
#include "setup/win32/installer_wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qm::usePlatformSeams();
    InitCommonControls();
    if (!qm::win32::BrowsersClosed(instance)) return 0;
    qm::win32::InstallerState state;
    state.defaultFolder = qm::win32::DefaultInstallFolderOfSystem();
    state.installFolder = state.defaultFolder;
    qm::win32::RunInstallerWizard(instance, state);
    return 0;
}
