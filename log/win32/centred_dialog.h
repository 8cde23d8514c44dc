#pragma once

#include <windows.h>

namespace qm::tools {

// Moves `dialog` to the middle of its owner window, inside the work area.
void CentreOverOwnerWindow(HWND dialog);

}  // namespace qm::tools
