#pragma once
// The uninstaller's registry and shell seams bound to the system.

#include "uninstall/uninstall_procedure.h"

namespace qm::win32 {

UninstallRegistry& SystemUninstallRegistry();
UninstallShell& SystemUninstallShell();

}  // namespace qm::win32
