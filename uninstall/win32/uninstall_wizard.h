#pragma once
// The uninstaller's two-page wizard: the question, then the procedure.

#include <windows.h>

namespace qm::win32 {

void RunUninstallWizard(HINSTANCE instance);

}  // namespace qm::win32
