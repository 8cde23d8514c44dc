#pragma once
// The band draws every control in the classic style, also inside a browser
// whose process has visual themes switched on.

#include <windows.h>

namespace qm::win32 {

// Takes the visual theme off `window` and all of its children.
void UseClassicLook(HWND window);

}  // namespace qm::win32
