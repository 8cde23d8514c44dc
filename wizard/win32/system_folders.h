#pragma once
// The folder seam and the Programs folders bound to the system.

#include <string>

#include "wizard/folders.h"
#include "wizard/start_menu.h"

namespace qm::win32 {

// FindFirstFileA, CreateDirectoryA, SetFileAttributesA, DeleteFileA, RemoveDirectoryA.
Folders& SystemFolders();

// The all-users and the user's own Programs folders of the shell.
ProgramsFolders& SystemProgramsFolders();

// A special folder of the shell by its CSIDL; empty when the system has none.
std::string SpecialFolder(int csidl);

}  // namespace qm::win32
