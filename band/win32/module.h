#pragma once
// The loaded DLL: its instance handle and file name.

#include <windows.h>

#include <string>

namespace qm::band {

HINSTANCE ModuleInstance();
// Full file name of quellmark.dll as the system loaded it.
std::string ModuleFileName();

}  // namespace qm::band
