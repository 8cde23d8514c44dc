#pragma once
// Window classes of a DLL that the browser unloads and loads again. The
// system keeps a DLL's classes after the DLL is unloaded, with procedures
// whose code is gone (and a global class is found from any module), so the
// DLL unregisters its classes when it is unloaded, and a class of its name
// that still points elsewhere is replaced before use.

#include <windows.h>

namespace qm::win32 {

// Registers `windowClass` unless it is registered already with the same
// procedure; a class of that name with another procedure is unregistered
// first. False when the class cannot be made ours. lpszClassName must be a
// string of static storage: it is kept for UnregisterModuleClasses.
bool RegisterModuleClass(const WNDCLASSA& windowClass);

// Unregisters every class RegisterModuleClass registered in this module:
// for DllMain when the DLL is freed.
void UnregisterModuleClasses();

}  // namespace qm::win32
