#pragma once
// The install procedure of the wizard's progress page: the packaged files,
// the settings key, the DLL's registration, the Start-menu items and the
// uninstall entry, each step reported on the page. The first failure shows
// its message and ends the procedure; nothing written before is undone.

#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/registry.h"
#include "wizard/folders.h"
#include "wizard/progress_page.h"
#include "wizard/server_registration.h"
#include "wizard/start_menu.h"

namespace qm {

// The files the installer carries, by resource id.
class InstallPackage {
public:
    virtual ~InstallPackage() = default;
    virtual bool has(int resource) = 0;
    // The packaged file's bytes, valid until the next load.
    virtual bool load(int resource, std::string_view& bytes) = 0;
};

struct InstallSystem {
    InstallPackage& package;
    FileSystem& files;
    Folders& folders;
    Registry& registry;
    ServerRegistration& server;
    ProgramsFolders& programs;
    ShortcutWriter& shortcuts;
    ProgressPage& page;
};

struct InstallChoices {
    std::string folder;  // without a trailing backslash
    bool createStartMenu = true;
};

// True when everything is installed and the wizard may show its finished page.
bool RunInstall(InstallSystem& system, const InstallChoices& choices);

}  // namespace qm
