#pragma once
// The installer's five-page wizard and the state its pages share.

#include <windows.h>

#include <string>

namespace qm::win32 {

struct InstallerState {
    std::string installFolder;  // without a trailing backslash
    std::string defaultFolder;  // proposed at start, brought back by "&Reset"
    bool createStartMenu = true;
};

// Runs the wizard modally; returns when it closes.
void RunInstallerWizard(HINSTANCE instance, InstallerState& state);

// The folder proposed at start: below the Program Files folder.
std::string DefaultInstallFolderOfSystem();

}  // namespace qm::win32
