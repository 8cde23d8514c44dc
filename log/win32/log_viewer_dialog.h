#pragma once
// The activity log viewer (dialog 246): every logged window, newest first,
// with its details on a click, the counts, and "Clear Log".

#include <windows.h>

#include <string>

#include "common/file_system.h"

namespace qm::tools {

// Runs the viewer modally, owned by `owner`, on the log beside the module.
void RunLogViewerDialog(HINSTANCE instance, HWND owner, FileSystem& files,
                        const std::string& moduleFileName);

}  // namespace qm::tools
