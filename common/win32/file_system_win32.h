#pragma once

#include "common/file_system.h"

namespace qm::win32 {

// Files through CreateFileA and friends.
FileSystem& SystemFileSystem();

// The full file name of the module that holds `address` (our DLL or program).
std::string ModuleFileName(const void* address);

}  // namespace qm::win32
