#pragma once
// The installer's first step: no Internet Explorer window may be open. When
// one is, the "Installation Cannot Proceed" dialog offers to close them all.

#include <windows.h>

namespace qm::win32 {

// True when no browser window is open, or the dialog closed them all.
bool BrowsersClosed(HINSTANCE instance);

}  // namespace qm::win32
