#pragma once
// Hosting a browser by its ProgID in the platform's control-hosting window
// ("AtlAxWin" of atl.dll, loaded at run time so that the DLL imports nothing
// beyond the system DLLs every Windows has).

#include <windows.h>

#include <string>

#include "common/win32/com_ptr.h"

namespace qm {

// The ProgID the system lists for `clsid`, as ANSI text; empty when none.
std::string ProgIdOf(REFCLSID clsid);

// Registers the hosting window class once per process. False without atl.dll.
bool EnsureControlHostClass();

// A hosting window that creates the control named by `progId`.
HWND CreateControlHost(const std::string& progId, DWORD style, HWND parent);

// The control hosted in `host`. Asks the window first; Wine's host does not
// answer that message, so atl.dll's exported accessor is the fallback.
win32::ComPtr<IUnknown> HostedControl(HWND host);

}  // namespace qm
