#pragma once
// Pictures of the screen taken by the Wine tests (for the help and as test
// artefacts): the host's ImageMagick `import`, started as a Unix program
// from inside Wine.

#include <windows.h>

#include <string>

namespace qm::testing {

// The host's name for a Windows path, as Wine maps it; empty outside Wine.
std::string HostFileName(const std::string& windowsPath);

// Starts writing `area` of the X display into the host file `hostTarget`
// (a PNG, through a ".part.png" renamed when complete, so a reader never
// sees half a picture). Returns at once; false when there is no display or
// the program could not be started.
bool StartScreenCapture(const RECT& area, const std::string& hostTarget);

}  // namespace qm::testing
