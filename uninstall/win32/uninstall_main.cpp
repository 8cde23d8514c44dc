// QuellmarkUninstall (uninstall.exe): the uninstaller wizard.

#include <windows.h>
#include <commctrl.h>

#include "common/platform.h"
#include "uninstall/win32/uninstall_wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qm::usePlatformSeams();
    InitCommonControls();
    qm::win32::RunUninstallWizard(instance);
    return 0;
}
