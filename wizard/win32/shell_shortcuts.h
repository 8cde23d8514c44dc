#pragma once

#include "wizard/start_menu.h"

namespace qm::win32 {

// Shell links (CLSID_ShellLink) and internet shortcuts (CLSID_InternetShortcut)
// saved through IPersistFile.
ShortcutWriter& ShellShortcuts();

}  // namespace qm::win32
