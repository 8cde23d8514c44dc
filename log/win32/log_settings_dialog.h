#pragma once
// The log settings dialog (dialog 250): what is logged, the largest log and
// what happens when it is full.

#include <windows.h>

#include "log/log_settings_logic.h"

namespace qm::tools {

// Runs the dialog on `choice`, owned by `owner`; true when the user chose OK
// with a valid size, and `choice` then holds the new values.
bool RunLogSettingsDialog(HINSTANCE instance, HWND owner, LogSettingsChoice& choice);

}  // namespace qm::tools
